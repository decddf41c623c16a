// Natively there is no system message table: the English texts Windows gives
// for the codes the posix backends produce, with Windows' line break.
#include <map>

#include "platform/SystemErrorText.h"

namespace platform {

std::wstring GetSystemErrorText(Win32Error code) {
  static const std::map<Win32Error, const wchar_t*> texts = {
      {0, L"The operation completed successfully."},
      {2, L"The system cannot find the file specified."},
      {3, L"The system cannot find the path specified."},
      {5, L"Access is denied."},
      {6, L"The handle is invalid."},
      {8, L"Not enough memory resources are available to process this command."},
      {32, L"The process cannot access the file because it is being used by another process."},
      {80, L"The file exists."},
      {87, L"The parameter is incorrect."},
      {112, L"There is not enough space on the disk."},
      {122, L"The data area passed to a system call is too small."},
      {123, L"The filename, directory name, or volume label syntax is incorrect."},
      {145, L"The directory is not empty."},
      {183, L"Cannot create a file when that file already exists."},
      {193, L"%1 is not a valid Win32 application."},
      {203, L"The system could not find the environment option that was entered."},
      {234, L"More data is available."},
      {259, L"No more data is available."},
  };
  const auto found = texts.find(code);
  return found == texts.end() ? std::wstring() : std::wstring(found->second) + L"\r\n";
}

}  // namespace platform
