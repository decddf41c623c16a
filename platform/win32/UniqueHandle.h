// One RAII owner for every kind of Win32 handle: the traits say what an
// empty handle is and how to close one. No manual close on any path.
#pragma once

#include <windows.h>

#include <utility>

namespace platform::win32 {

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

 private:
  Type handle = Traits::Empty();
};

struct KernelHandleTraits {
  using Type = HANDLE;
  static Type Empty() { return nullptr; }
  static void Close(Type handle) { ::CloseHandle(handle); }
};

struct FindHandleTraits {
  using Type = HANDLE;
  static Type Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(Type handle) { ::FindClose(handle); }
};

// CreateToolhelp32Snapshot fails with INVALID_HANDLE_VALUE, not null.
struct SnapshotHandleTraits {
  using Type = HANDLE;
  static Type Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(Type handle) { ::CloseHandle(handle); }
};

struct RegistryKeyTraits {
  using Type = HKEY;
  static Type Empty() { return nullptr; }
  static void Close(Type handle) { ::RegCloseKey(handle); }
};

// HINTERNET of WinHTTP and of WinINet. Closed in Win32Http.cpp and
// Win32Internet.cpp, so that this header needs neither <winhttp.h> nor
// <wininet.h> (the two cannot share a file).
struct WinHttpHandleTraits {
  using Type = void*;
  static Type Empty() { return nullptr; }
  static void Close(Type handle);
};

struct InternetHandleTraits {
  using Type = void*;
  static Type Empty() { return nullptr; }
  static void Close(Type handle);
};

struct GdiObjectTraits {
  using Type = HGDIOBJ;
  static Type Empty() { return nullptr; }
  static void Close(Type handle) { ::DeleteObject(handle); }
};

using KernelHandle = UniqueHandle<KernelHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
using RegistryKeyHandle = UniqueHandle<RegistryKeyTraits>;
using SnapshotHandle = UniqueHandle<SnapshotHandleTraits>;
using WinHttpHandle = UniqueHandle<WinHttpHandleTraits>;
using InternetHandle = UniqueHandle<InternetHandleTraits>;
using GdiObject = UniqueHandle<GdiObjectTraits>;

}  // namespace platform::win32
