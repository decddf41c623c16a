#pragma once

#include "platform/Shell.h"

namespace platform::win32 {

class Win32Shell : public Shell {
 public:
  std::intptr_t Open(const ShellRequest& request) override;
};

}  // namespace platform::win32
