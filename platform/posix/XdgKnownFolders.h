// Known folders on Linux: the XDG user folders and base directories.
#pragma once

#include "platform/KnownFolders.h"

namespace platform::posix {

class XdgKnownFolders : public KnownFolders {
 public:
  // A folder that does not exist is a failed lookup, as on Windows.
  std::optional<std::wstring> Path(KnownFolder folder) override;
};

}  // namespace platform::posix
