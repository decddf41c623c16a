// Linux is not Windows: the native build answers version questions for a
// Windows it is told to be (by default 64-bit Windows 10 22H2), so that the
// code paths that depend on the version can run and be tested.
#pragma once

#include <mutex>

#include "platform/SystemInfo.h"

namespace platform::posix {

struct SimulatedWindows {
  OsVersion version{.major = 10, .minor = 0, .build = 19045, .servicePackMajor = 0};
  std::int32_t rtlGetVersionStatus = 0;
  std::optional<bool> wow64 = true;
};

class SimulatedSystemInfo : public SystemInfo {
 public:
  explicit SimulatedSystemInfo(SimulatedWindows windows = {}) : windows(windows) {}

  std::int32_t QueryOsVersion(OsVersion& version) override;
  bool VerifyVersionAtLeast(std::uint32_t major, std::uint32_t minor, std::uint16_t servicePackMajor) override;
  std::optional<bool> IsWow64() override;

  void Set(const SimulatedWindows& value);

 private:
  std::mutex mutex;
  SimulatedWindows windows;
};

}  // namespace platform::posix
