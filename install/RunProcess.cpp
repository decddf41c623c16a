#include "install/RunProcess.h"

#include "platform/SystemErrorText.h"
#include "util/DecimalText.h"

RunResult RunProcess(platform::ProcessLauncher& processes, const std::wstring& path, const std::wstring& arguments,
                     bool wait) {
  RunResult result{kExitCodeNotWaited, L""};
  const std::wstring commandLine = L"\"" + path + L"\" " + arguments;
  if (const platform::Win32Error error = processes.Launch(commandLine, wait, result.first);
      error != platform::kErrorSuccess) {
    result.second = L"Error launching executable: " + platform::GetSystemErrorText(error);
    return result;
  }
  if (result.first != 0) result.second = L"exit code = " + DecimalText(result.first);
  return result;
}
