// The shell's known folders (SHGetKnownFolderPath, flags 0, no token).
#pragma once

#include <optional>
#include <string>

namespace platform {

enum class KnownFolder {
  Downloads,        // FOLDERID_Downloads
  Documents,        // SHGetFolderPathW(CSIDL_PERSONAL): the Downloads fallback
  LocalAppData,     // FOLDERID_LocalAppData
  RoamingAppData,   // FOLDERID_RoamingAppData
  ProgramData,      // FOLDERID_ProgramData
  ProgramFilesX86,  // FOLDERID_ProgramFilesX86
  Desktop,          // FOLDERID_Desktop
};

class KnownFolders {
 public:
  virtual ~KnownFolders() = default;
  // The folder's path without a trailing separator, or nullopt when the
  // lookup fails.
  virtual std::optional<std::wstring> Path(KnownFolder folder) = 0;
};

}  // namespace platform
