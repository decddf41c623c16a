// What the Wine test runner tells a test about the prefix it runs in.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace winetest {

// "32" or "64": the prefix's architecture.
inline bool ExpectSixtyFourBit() {
  const char* arch = std::getenv("BRIMVALE_EXPECT_ARCH");
  return arch && std::string(arch) == "64";
}

// "win7" or "win10": the version the prefix was set to.
inline std::string ExpectedWindows() {
  const char* windows = std::getenv("BRIMVALE_EXPECT_WINDOWS");
  return windows ? windows : "";
}

inline std::wstring Variable(const wchar_t* name) {
  std::vector<wchar_t> buffer(32768);
  const DWORD length = ::GetEnvironmentVariableW(name, buffer.data(), static_cast<DWORD>(buffer.size()));
  return std::wstring(buffer.data(), length);
}

}  // namespace winetest
