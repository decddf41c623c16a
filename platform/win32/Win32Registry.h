#pragma once

#include "platform/Registry.h"

namespace platform::win32 {

class Win32Registry : public Registry {
 public:
  Win32Error OpenKey(RegistryRoot root, const std::wstring& subKey, RegistryView view,
                     std::unique_ptr<RegistryKey>& key) override;
  Win32Error OpenKeyNarrow(RegistryRoot root, const std::string& subKey, RegistryView view,
                           std::unique_ptr<RegistryKey>& key) override;
};

}  // namespace platform::win32
