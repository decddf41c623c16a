#pragma once

#include "platform/SystemInfo.h"

namespace platform::win32 {

class Win32SystemInfo : public SystemInfo {
 public:
  std::int32_t QueryOsVersion(OsVersion& version) override;
  bool VerifyVersionAtLeast(std::uint32_t major, std::uint32_t minor, std::uint16_t servicePackMajor) override;
  std::optional<bool> IsWow64() override;
};

}  // namespace platform::win32
