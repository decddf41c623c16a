#include "platform/posix/XdgKnownFolders.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/posix/NativePath.h"

namespace platform::posix {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string Home() { return Env("HOME"); }

std::string BaseDir(const char* variable, const char* fallbackUnderHome) {
  std::string value = Env(variable);
  if (!value.empty() && value.front() == '/') return value;
  return Home() + "/" + fallbackUnderHome;
}

// XDG_<name>_DIR from user-dirs.dirs ("$HOME/Downloads" style), or
// $HOME/<fallback>.
std::string UserDir(const std::string& name, const char* fallback) {
  std::ifstream file(BaseDir("XDG_CONFIG_HOME", ".config") + "/user-dirs.dirs");
  const std::string key = "XDG_" + name + "_DIR=";
  for (std::string line; std::getline(file, line);) {
    if (line.rfind(key, 0) != 0) continue;
    std::string value = line.substr(key.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) value = Home() + value.substr(5);
    if (!value.empty() && value.front() == '/') return value;
  }
  return Home() + "/" + fallback;
}

bool IsDirectory(const std::string& path) {
  struct stat info;
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::optional<std::wstring> XdgKnownFolders::Path(KnownFolder folder) {
  std::string path;
  switch (folder) {
    case KnownFolder::Downloads: path = UserDir("DOWNLOAD", "Downloads"); break;
    case KnownFolder::Documents: path = UserDir("DOCUMENTS", "Documents"); break;
    case KnownFolder::Desktop: path = UserDir("DESKTOP", "Desktop"); break;
    case KnownFolder::LocalAppData: path = BaseDir("XDG_DATA_HOME", ".local/share"); break;
    case KnownFolder::RoamingAppData: path = BaseDir("XDG_CONFIG_HOME", ".config"); break;
    case KnownFolder::ProgramData: path = "/var/lib"; break;
    case KnownFolder::ProgramFilesX86: path = "/opt"; break;
  }
  if (!IsDirectory(path)) return std::nullopt;
  return FromNativePath(path);
}

}  // namespace platform::posix
