// The registry, shaped after advapi32: keys are opened read-only in an
// explicit 32/64-bit view and closed when their object goes away. Value data
// travels as the raw bytes Windows stores (strings as UTF-16LE with their
// terminating NUL, DWORD as 4 little-endian bytes); the narrow calls return
// strings converted to the narrow character set, as the A functions do.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Win32Error.h"

namespace platform {

enum class RegistryRoot : std::uint32_t {
  ClassesRoot = 0x80000000,
  CurrentUser = 0x80000001,
  LocalMachine = 0x80000002,
  Users = 0x80000003,
  CurrentConfig = 0x80000005,
};

// The view flag given with KEY_READ: none, KEY_WOW64_32KEY or KEY_WOW64_64KEY.
enum class RegistryView { Default, Force32, Force64 };

inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;
inline constexpr std::uint32_t kRegQword = 11;

struct RegistryValue {
  std::uint32_t type = kRegNone;
  std::vector<std::uint8_t> data;  // the bytes returned (empty when only the type was asked)
};

class RegistryKey {
 public:
  virtual ~RegistryKey() = default;  // RegCloseKey

  // RegQueryValueExW into a buffer of `capacity` bytes. Returns
  // kErrorFileNotFound when the value is missing and kErrorMoreData (with the
  // type set and no data) when the data does not fit. A capacity of 0 asks
  // for the type only.
  virtual Win32Error QueryValue(const std::wstring& name, std::size_t capacity, RegistryValue& value) = 0;

  // RegQueryValueExA: as above, with string data in the narrow character set.
  virtual Win32Error QueryValueNarrow(const std::string& name, std::size_t capacity, RegistryValue& value) = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;

  // RegOpenKeyExW(root, subKey, 0, KEY_READ | view flag).
  virtual Win32Error OpenKey(RegistryRoot root, const std::wstring& subKey, RegistryView view,
                             std::unique_ptr<RegistryKey>& key) = 0;

  // RegOpenKeyExA with the same access.
  virtual Win32Error OpenKeyNarrow(RegistryRoot root, const std::string& subKey, RegistryView view,
                                   std::unique_ptr<RegistryKey>& key) = 0;
};

}  // namespace platform
