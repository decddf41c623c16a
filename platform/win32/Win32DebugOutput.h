#pragma once

#include "platform/DebugOutput.h"

namespace platform::win32 {

class Win32DebugOutput : public DebugOutput {
 public:
  void Write(const std::wstring& text) override;
};

}  // namespace platform::win32
