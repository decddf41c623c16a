// Wide Windows-style paths to Linux paths: UTF-8, backslash read as '/'.
#pragma once

#include <string>

namespace platform::posix {

std::string ToNativePath(const std::wstring& path);
std::wstring FromNativePath(const std::string& path);

}  // namespace platform::posix
