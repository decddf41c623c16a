// What the process knows about itself: environment variables, its own
// executable path and the file version of its version resource.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

using FileVersion = std::array<std::uint16_t, 4>;  // most significant first

class Environment {
 public:
  virtual ~Environment() = default;

  // The whole value of the variable (GetEnvironmentVariableW with a buffer
  // large enough), or nullopt when it is not set.
  virtual std::optional<std::wstring> Variable(const std::wstring& name) = 0;

  // GetModuleFileNameW(NULL) with a 260-character buffer.
  virtual std::wstring ExecutablePath() = 0;

  // VerQueryValueW at the root block of the own RT_VERSION resource 1, or
  // nullopt when the resource or the block is missing.
  virtual std::optional<FileVersion> OwnFileVersion() = 0;
};

}  // namespace platform
