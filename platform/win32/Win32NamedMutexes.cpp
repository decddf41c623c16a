#include "platform/win32/Win32NamedMutexes.h"

#include "platform/win32/UniqueHandle.h"

namespace platform::win32 {
namespace {

class Win32Mutex : public NamedMutex {
 public:
  explicit Win32Mutex(HANDLE handle) : handle(handle) {}

 private:
  KernelHandle handle;
};

}  // namespace

std::unique_ptr<NamedMutex> Win32NamedMutexes::CreateOwned(const std::wstring& name, Win32Error& lastError) {
  HANDLE handle = ::CreateMutexW(nullptr, TRUE, name.c_str());
  lastError = ::GetLastError();
  if (!handle) return nullptr;
  return std::make_unique<Win32Mutex>(handle);
}

}  // namespace platform::win32
