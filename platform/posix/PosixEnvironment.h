// The process's own facts on Linux.
#pragma once

#include "platform/Environment.h"

namespace platform::posix {

class PosixEnvironment : public Environment {
 public:
  std::optional<std::wstring> Variable(const std::wstring& name) override;
  std::wstring ExecutablePath() override;               // /proc/self/exe
  std::optional<FileVersion> OwnFileVersion() override;  // the numbers the build was given
};

}  // namespace platform::posix
