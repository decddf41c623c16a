#include "platform/posix/SimulatedSystemInfo.h"

#include <tuple>

namespace platform::posix {

std::int32_t SimulatedSystemInfo::QueryOsVersion(OsVersion& version) {
  std::lock_guard lock(mutex);
  if (windows.rtlGetVersionStatus == 0) version = windows.version;
  return windows.rtlGetVersionStatus;
}

bool SimulatedSystemInfo::VerifyVersionAtLeast(std::uint32_t major, std::uint32_t minor,
                                               std::uint16_t servicePackMajor) {
  std::lock_guard lock(mutex);
  const auto& v = windows.version;
  // VerifyVersionInfoW compares the three fields as one hierarchical number.
  return std::tie(v.major, v.minor, v.servicePackMajor) >= std::tie(major, minor, servicePackMajor);
}

std::optional<bool> SimulatedSystemInfo::IsWow64() {
  std::lock_guard lock(mutex);
  return windows.wow64;
}

void SimulatedSystemInfo::Set(const SimulatedWindows& value) {
  std::lock_guard lock(mutex);
  windows = value;
}

}  // namespace platform::posix
