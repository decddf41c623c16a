// Facts about the running Windows: its version and whether this 32-bit
// process runs on a 64-bit system.
#pragma once

#include <cstdint>
#include <optional>

namespace platform {

struct OsVersion {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
  std::uint16_t servicePackMajor = 0;
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;

  // RtlGetVersion with an extended structure; returns the NTSTATUS (0 on
  // success) and fills `version` on success.
  virtual std::int32_t QueryOsVersion(OsVersion& version) = 0;

  // VerifyVersionInfoW with VER_MAJORVERSION, VER_MINORVERSION and
  // VER_SERVICEPACKMAJOR, each VER_GREATER_EQUAL (type mask 0x23).
  virtual bool VerifyVersionAtLeast(std::uint32_t major, std::uint32_t minor,
                                    std::uint16_t servicePackMajor) = 0;

  // IsWow64Process(GetCurrentProcess()): nullopt when the call fails.
  virtual std::optional<bool> IsWow64() = 0;
};

}  // namespace platform
