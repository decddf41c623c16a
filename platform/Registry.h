// The registry, shaped after advapi32: keys are opened read-only in an
// explicit 32/64-bit view and closed when their object goes away. Value data
// travels as the raw bytes Windows stores (strings as UTF-16LE with their
// terminating NUL, DWORD as 4 little-endian bytes); the narrow calls return
// strings converted to the narrow character set, as the A functions do.
//
// WOW64: a 32-bit process on 64-bit Windows that opens HKLM\Software, or a
// child of it, without KEY_WOW64_64KEY lands in HKLM\Software\Wow6432Node.
// Opening a child below an already open key follows the same rule.
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

// RegGetValueW flags: the types a call accepts (RRF_RT_*), and RRF_NOEXPAND.
// Without RRF_NOEXPAND a REG_EXPAND_SZ value is expanded and counts as REG_SZ.
inline constexpr std::uint32_t kRrfRtRegSz = 0x2;
inline constexpr std::uint32_t kRrfRtRegExpandSz = 0x4;
inline constexpr std::uint32_t kRrfRtRegDword = 0x10;
inline constexpr std::uint32_t kRrfRtRegQword = 0x40;
inline constexpr std::uint32_t kRrfRtAny = 0xFFFF;
inline constexpr std::uint32_t kRrfNoExpand = 0x10000000;

inline constexpr Win32Error kErrorUnsupportedType = 1630;  // ERROR_UNSUPPORTED_TYPE

struct RegistryValue {
  std::uint32_t type = kRegNone;
  std::vector<std::uint8_t> data;  // the bytes returned (empty when only the type was asked)
};

// RegQueryInfoKeyW: how many direct children a key has and the length of the
// longest child name in characters, without its NUL.
struct RegistryKeyInfo {
  std::uint32_t subKeyCount = 0;
  std::uint32_t maxSubKeyLength = 0;
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

  // RegOpenKeyExW(this key, subKey, 0, KEY_READ | view flag). An empty
  // subKey opens this key again. kErrorFileNotFound when it is missing.
  virtual Win32Error OpenSubKey(const std::wstring& subKey, RegistryView view, std::unique_ptr<RegistryKey>& key) = 0;

  // RegGetValueW(this key, subKey, name, flags, ...): the value `name` (empty:
  // the default value) of this key, or of its child `subKey` when that is not
  // empty, into a buffer of `capacity` bytes; a capacity of 0 passes no
  // buffer and only learns type and size. Strings come back with a
  // terminating NUL. Returns kErrorFileNotFound for a missing value or
  // subkey, kErrorUnsupportedType when the type is not among `flags`,
  // kErrorMoreData when the buffer is too small. `size` is the number of
  // bytes the data takes, set in these last two cases as on success.
  virtual Win32Error GetValue(const std::wstring& subKey, const std::wstring& name, std::uint32_t flags,
                              std::size_t capacity, RegistryValue& value, std::uint32_t& size) = 0;

  // RegQueryInfoKeyW, asking for the child count and longest child name.
  virtual Win32Error QueryInfo(RegistryKeyInfo& info) = 0;

  // RegEnumKeyExW: the name of child `index` into a buffer of `capacity`
  // characters, its NUL included. kErrorNoMoreItems past the last child,
  // kErrorMoreData when the name does not fit.
  virtual Win32Error EnumSubKey(std::uint32_t index, std::uint32_t capacity, std::wstring& name) = 0;
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
