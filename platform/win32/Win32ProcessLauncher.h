#pragma once

#include "platform/ProcessLauncher.h"

namespace platform::win32 {

class Win32ProcessLauncher : public ProcessLauncher {
 public:
  Win32Error Launch(const std::wstring& commandLine, bool wait, std::uint32_t& exitCode) override;
};

}  // namespace platform::win32
