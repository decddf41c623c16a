// Diagnostics for a debugger (OutputDebugStringW): invisible to the user.
#pragma once

#include <string>

namespace platform {

class DebugOutput {
 public:
  virtual ~DebugOutput() = default;
  virtual void Write(const std::wstring& text) = 0;
};

}  // namespace platform
