#include "platform/posix/PosixEnvironment.h"

#include <unistd.h>

#include <cstdlib>

#include "platform/Win32Error.h"
#include "platform/posix/NativePath.h"
#include "platform/posix/OwnFileVersion.h"
#include "util/Utf8.h"

namespace platform::posix {

std::optional<std::wstring> PosixEnvironment::Variable(const std::wstring& name) {
  const char* value = std::getenv(WideToUtf8(name).c_str());
  if (!value) return std::nullopt;
  return Utf8ToWide(value);
}

std::wstring PosixEnvironment::ExecutablePath() {
  char buffer[4096];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer);
  if (length <= 0) return {};
  // GetModuleFileNameW with MAX_PATH characters truncates a longer path.
  std::wstring path = FromNativePath(std::string(buffer, static_cast<std::size_t>(length)));
  if (path.size() >= kMaxPath) path.resize(kMaxPath - 1);
  return path;
}

std::optional<FileVersion> PosixEnvironment::OwnFileVersion() { return kOwnFileVersion; }

}  // namespace platform::posix
