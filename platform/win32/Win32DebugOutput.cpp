#include "platform/win32/Win32DebugOutput.h"

#include <windows.h>

#include <cstdio>

namespace platform::win32 {

void Win32DebugOutput::Write(const std::wstring& text) { ::OutputDebugStringW(text.c_str()); }

void Win32DebugOutput::WriteDiagnostic(const std::string& line) {
  // One call per line, so lines of parallel workers do not interleave.
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

}  // namespace platform::win32
