#pragma once

#include "platform/DebugOutput.h"

namespace platform::win32 {

class Win32DebugOutput : public DebugOutput {
 public:
  void Write(const std::wstring& text) override;
  void WriteDiagnostic(const std::string& line) override;
};

}  // namespace platform::win32
