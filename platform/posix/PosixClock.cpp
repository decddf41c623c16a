#include "platform/posix/PosixClock.h"

#include <chrono>
#include <thread>

namespace platform::posix {

std::int64_t PosixClock::UnixTimeNow() { return static_cast<std::int64_t>(std::time(nullptr)); }

bool PosixClock::ToLocalTime(std::int64_t unixTime, std::tm& local) {
  const std::time_t time = static_cast<std::time_t>(unixTime);
  return ::localtime_r(&time, &local) != nullptr;
}

void PosixClock::Sleep(std::uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace platform::posix
