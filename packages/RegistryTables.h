// The fixed tables of the registry layer: root names, their abbreviations,
// the software prefixes of both roots and their Wow6432Node forms, the
// predefined root keys, and the access rights every open asks for. All path
// text here is lower case: callers lowercase rule text before using it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Registry.h"

// KEY_READ and the view flag KEY_WOW64_64KEY; a view flag of 0 is the
// process's default view (the 32-bit one under WOW64).
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyWow64_64Key = 0x100;

// "hkey_local_machine", "hkey_current_user", "hkey_classes_root",
// "hkey_users", "hkey_current_config", in this order.
const std::vector<std::wstring>& RootNames();

// "hkcc", "hkcr", "hkcu", "hklm", "hku" to their full root names, iterated
// in ascending key order.
const std::map<std::wstring, std::wstring>& RootAbbreviations();

// "hkey_local_machine\software\", "hkey_current_user\software\".
const std::vector<std::wstring>& SoftwarePrefixes();

// "hkey_local_machine\software\wow6432node\",
// "hkey_current_user\software\wow6432node\".
const std::vector<std::wstring>& Wow6432NodePrefixes();

// Full root name to predefined key.
const std::unordered_map<std::wstring, platform::RegistryRoot>& RootKeys();

// RootKeys()[name]; throws std::out_of_range("invalid unordered_map<K, T> key")
// for a name that is not a full root name (an abbreviation included).
platform::RegistryRoot LookupRootKey(const std::wstring& name);

// The seam's view for an access mask: KEY_WOW64_64KEY or the default view.
platform::RegistryView ViewOfAccess(std::uint32_t access);
