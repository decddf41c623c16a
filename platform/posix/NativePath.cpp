#include "platform/posix/NativePath.h"

#include <algorithm>

#include "util/Utf8.h"

namespace platform::posix {

std::string ToNativePath(const std::wstring& path) {
  std::string native = WideToUtf8(path);
  std::replace(native.begin(), native.end(), '\\', '/');
  return native;
}

std::wstring FromNativePath(const std::string& path) { return Utf8ToWide(path); }

}  // namespace platform::posix
