// Time: the wall clock, local time and waiting. Retry loops take their waits
// from here so tests count them without waiting.
#pragma once

#include <cstdint>
#include <ctime>

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::int64_t UnixTimeNow() = 0;                     // seconds since 1970
  virtual bool ToLocalTime(std::int64_t unixTime, std::tm& local) = 0;  // localtime_s
  virtual void Sleep(std::uint32_t milliseconds) = 0;
};

}  // namespace platform
