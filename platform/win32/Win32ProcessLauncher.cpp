#include "platform/win32/Win32ProcessLauncher.h"

#include <windows.h>

#include <vector>

#include "platform/win32/UniqueHandle.h"

namespace platform::win32 {

Win32Error Win32ProcessLauncher::Launch(const std::wstring& commandLine, bool wait, std::uint32_t& exitCode) {
  // CreateProcessW may write into the command line.
  std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
  writable.push_back(L'\0');
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!::CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return ::GetLastError();
  KernelHandle process(info.hProcess);
  KernelHandle thread(info.hThread);
  if (wait) {
    ::WaitForSingleObject(process.Get(), INFINITE);
    DWORD code = 0;
    if (::GetExitCodeProcess(process.Get(), &code)) exitCode = code;
  }
  return kErrorSuccess;
}

}  // namespace platform::win32
