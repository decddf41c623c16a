// The registry layer's free operations: rule paths to full key paths, the
// 32/64-bit view a full path is read through, and reads of open keys.
//
// Path text is lower case (callers lowercase rule text with towlower) and
// compared exactly. Registry failures become win32::RegistryError; the
// operations that answer yes or no catch it themselves.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "packages/RegistryError.h"
#include "packages/RegistryTables.h"
#include "platform/Registry.h"
#include "platform/SystemInfo.h"

// The full key paths a rule path stands for, in the order they are tried:
// a path beginning with a full root name and a backslash as it is; one
// beginning with an abbreviation and a backslash with the full name in its
// place; any other path below "software\" of HKLM and then HKCU, followed on
// 64-bit Windows by the same two below "software\wow6432node\". Empty for
// an empty path.
std::vector<std::wstring> ExpandRegistryPath(const std::wstring& path, platform::SystemInfo& system);

// Decides the view of a full path below a software prefix. Returns true when
// the path cannot exist on this machine (a wow6432node path on 32-bit
// Windows). On 64-bit Windows a wow6432node path loses its first
// "wow6432node\" and keeps `access` (the default view is the 32-bit one);
// any other software path gets KEY_WOW64_64KEY. Paths outside the software
// prefixes are left alone. Throws std::out_of_range("invalid vector
// subscript") for a software path of fewer than three components.
bool ResolveRegistryView(std::wstring& path, std::uint32_t& access, platform::SystemInfo& system);

// A path cut at backslashes as repeated std::getline cuts it: adjacent
// backslashes give an empty component, a trailing one gives none.
std::vector<std::wstring> SplitRegistryPath(const std::wstring& path);

// RegOpenKeyExW with `access` (KEY_READ and a view flag) below a root, below
// an open key, or along a full path "root\rest" (the root through
// LookupRootKey, which throws std::out_of_range for an unknown name). Throw
// RegistryError("Cannot open registry key: RegOpenKeyEx failed.") on failure.
std::unique_ptr<platform::RegistryKey> OpenRegistryKey(platform::Registry& registry, platform::RegistryRoot root,
                                                       const std::wstring& subKey, std::uint32_t access);
std::unique_ptr<platform::RegistryKey> OpenRegistryKey(platform::RegistryKey& parent, const std::wstring& subKey,
                                                       std::uint32_t access);
std::unique_ptr<platform::RegistryKey> OpenRegistryPath(platform::Registry& registry, const std::wstring& fullPath,
                                                        std::uint32_t access);
// OpenRegistryPath that gives the open's error code instead of throwing it
// (an unknown root still throws std::out_of_range): for the many keys that
// are absent.
platform::Win32Error TryOpenRegistryPath(platform::Registry& registry, const std::wstring& fullPath,
                                         std::uint32_t access, std::unique_ptr<platform::RegistryKey>& key);

// The REG_SZ value `valueName` (empty: the default value) of the key, or of
// its child `subKey`, without the terminating NUL. Throws
// RegistryError("Cannot read string from registry") when the value is
// missing or not a string.
std::wstring ReadRegistryString(platform::RegistryKey& key, const std::wstring& subKey, const std::wstring& valueName);

// A REG_DWORD or REG_QWORD value of the key. Throw RegistryError("Cannot read
// DWORD from registry." / "Cannot read QWORD from registry.").
std::uint32_t ReadRegistryDword(platform::RegistryKey& key, const std::wstring& valueName);
std::uint64_t ReadRegistryQword(platform::RegistryKey& key, const std::wstring& valueName);

// The lower-case names of the key's direct children, in enumeration order.
// Throws RegistryError("RegQueryInfoKey failed while preparing for subkey
// enumeration." / "Cannot enumerate subkeys: RegEnumKeyEx failed.").
std::vector<std::wstring> EnumerateSubkeys(platform::RegistryKey& key);

// Whether the key has the value, of any type; false on any failure.
bool RegistryValueExists(platform::RegistryKey& key, const std::wstring& valueName);

// The value's type code (REG_SZ 1, REG_DWORD 4, ...), 0 on any failure.
std::uint32_t GetRegistryValueType(platform::RegistryKey& key, const std::wstring& valueName);

// Whether the value of type `type` holds `expected`: a REG_SZ value compared
// in lower case with `expected` (lower case already), a REG_DWORD or
// REG_QWORD value with `expected` read as a decimal number. Other types and
// failed reads never match. The std::invalid_argument and std::out_of_range
// of that number conversion (std::stoul, std::stoull) are not caught.
bool RegistryValueMatches(std::uint32_t type, platform::RegistryKey& key, const std::wstring& valueName,
                          const std::wstring& expected);
