// Starting installer processes, shaped after CreateProcessW.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Win32Error.h"

namespace platform {

class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;

  // CreateProcessW with no application name and this command line (the
  // program is its first, possibly quoted, token), no handle inheritance,
  // the caller's environment and current folder. When `wait` is true it
  // waits without time-out and stores the exit code (GetExitCodeProcess);
  // otherwise `exitCode` is left alone. The handles are closed before it
  // returns. Returns kErrorSuccess, or the Win32 error of a failed start
  // (2 not found, 5 access denied, 193 not a program, ...).
  virtual Win32Error Launch(const std::wstring& commandLine, bool wait, std::uint32_t& exitCode) = 0;
};

}  // namespace platform
