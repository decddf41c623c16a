#pragma once

#include "platform/NamedMutexes.h"

namespace platform::win32 {

class Win32NamedMutexes : public NamedMutexes {
 public:
  std::unique_ptr<NamedMutex> CreateOwned(const std::wstring& name, Win32Error& lastError) override;
};

}  // namespace platform::win32
