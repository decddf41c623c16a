#include "platform/win32/Win32MessageBoxes.h"

#include <windows.h>

namespace platform::win32 {

int Win32MessageBoxes::Show(const std::wstring& text, const std::wstring& caption, std::uint32_t style) {
  // Owned by the active window of this thread, as a framework message box is.
  return ::MessageBoxW(::GetActiveWindow(), text.c_str(), caption.c_str(), style);
}

}  // namespace platform::win32
