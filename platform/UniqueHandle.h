// One RAII owner for every kind of OS and library handle, on every backend:
// the traits say what an empty handle is and how to close one. No manual
// close on any path. The Win32 traits are in platform/win32/UniqueHandle.h,
// libcurl's in platform/posix/CurlHandles.h.
#pragma once

#include <type_traits>
#include <utility>

namespace platform {

template <typename Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() = default;
  explicit UniqueHandle(Type handle) : handle(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle(std::exchange(other.handle, Traits::Empty())) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle, Traits::Empty()));
    return *this;
  }
  ~UniqueHandle() { Reset(); }

  Type Get() const { return handle; }
  explicit operator bool() const { return handle != Traits::Empty(); }
  Type Release() { return std::exchange(handle, Traits::Empty()); }
  void Reset(Type value = Traits::Empty()) {
    if (handle != Traits::Empty()) Traits::Close(handle);
    handle = value;
  }
  // For out-parameters: closes what is held and hands out the slot.
  Type* Put() {
    Reset();
    return &handle;
  }
  // Member access for handles that point to objects (COM interfaces).
  Type operator->() const
    requires std::is_pointer_v<Type> && std::is_class_v<std::remove_pointer_t<Type>>
  {
    return handle;
  }

 private:
  Type handle = Traits::Empty();
};

}  // namespace platform
