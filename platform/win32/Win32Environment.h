#pragma once

#include "platform/Environment.h"

namespace platform::win32 {

class Win32Environment : public Environment {
 public:
  std::optional<std::wstring> Variable(const std::wstring& name) override;
  std::wstring ExecutablePath() override;
  std::optional<FileVersion> OwnFileVersion() override;
};

}  // namespace platform::win32
