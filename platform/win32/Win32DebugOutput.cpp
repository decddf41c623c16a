#include "platform/win32/Win32DebugOutput.h"

#include <windows.h>

namespace platform::win32 {

void Win32DebugOutput::Write(const std::wstring& text) { ::OutputDebugStringW(text.c_str()); }

}  // namespace platform::win32
