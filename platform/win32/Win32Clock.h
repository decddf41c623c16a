#pragma once

#include "platform/Clock.h"

namespace platform::win32 {

class Win32Clock : public Clock {
 public:
  std::int64_t UnixTimeNow() override;
  bool ToLocalTime(std::int64_t unixTime, std::tm& local) override;
  void Sleep(std::uint32_t milliseconds) override;
};

}  // namespace platform::win32
