#pragma once

#include "platform/KnownFolders.h"

namespace platform::win32 {

class Win32KnownFolders : public KnownFolders {
 public:
  std::optional<std::wstring> Path(KnownFolder folder) override;
};

}  // namespace platform::win32
