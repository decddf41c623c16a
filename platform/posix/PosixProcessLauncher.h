// Installer processes on Linux: posix_spawn with the Win32 contract of
// platform::ProcessLauncher. The command line is split by Windows' rules;
// a program file lacking its execute permission is given it, since Windows
// runs any program file. Exit codes are the 8 bits Linux keeps (a process
// ended by a signal gives 128 + the signal); a process not waited for is
// reaped by a thread of its own.
#pragma once

#include "platform/ProcessLauncher.h"

namespace platform::posix {

class PosixProcessLauncher : public ProcessLauncher {
 public:
  Win32Error Launch(const std::wstring& commandLine, bool wait, std::uint32_t& exitCode) override;
};

}  // namespace platform::posix
