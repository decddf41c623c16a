#include "platform/win32/Win32Clock.h"

#include <windows.h>

#include <ctime>

namespace platform::win32 {

std::int64_t Win32Clock::UnixTimeNow() { return static_cast<std::int64_t>(std::time(nullptr)); }

bool Win32Clock::ToLocalTime(std::int64_t unixTime, std::tm& local) {
  const std::time_t time = static_cast<std::time_t>(unixTime);
  return ::localtime_s(&local, &time) == 0;
}

void Win32Clock::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

}  // namespace platform::win32
