#include "platform/WindowsVersion.h"

bool IsWindowsVersionAtLeast(platform::SystemInfo& system, std::uint32_t major, std::uint32_t minor,
                             std::uint16_t servicePackMajor) {
  return system.VerifyVersionAtLeast(major, minor, servicePackMajor);
}

bool IsWindows7(platform::SystemInfo& system) {
  return IsWindowsVersionAtLeast(system, 6, 1, 0) && !IsWindowsVersionAtLeast(system, 6, 2, 0);
}

bool Is64BitWindows(platform::SystemInfo& system) {
#ifdef _WIN64
  // A 64-bit build runs only on 64-bit Windows, and not under WOW64.
  (void)system;
  return true;
#else
  return system.IsWow64().value_or(false);
#endif
}

std::string GetOsVersionString(platform::SystemInfo& system) {
  platform::OsVersion version;
  if (system.QueryOsVersion(version) != 0) return {};
  return std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
         std::to_string(version.build);
}
