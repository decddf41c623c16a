// Resources of the program's own executable module.
#pragma once

#include "platform/Resources.h"

namespace platform::win32 {

class Win32Resources : public Resources {
 public:
  ResourceData Read(int id, const std::wstring& type) override;
};

}  // namespace platform::win32
