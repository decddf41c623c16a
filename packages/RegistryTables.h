// The fixed tables of the registry layer: root names, their abbreviations,
// the software prefixes of both roots and their Wow6432Node forms, the
// predefined root keys, and the access rights every open asks for. All path
// text here is lower case: callers lowercase rule text before using it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/Registry.h"

// KEY_READ and the view flag KEY_WOW64_64KEY; a view flag of 0 is the
// process's default view (the 32-bit one under WOW64).
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyWow64_64Key = 0x100;

// The tables are constant data.
struct RootAbbreviation {
  std::wstring_view abbreviation;
  std::wstring_view name;
};

// "hkey_local_machine", "hkey_current_user", "hkey_classes_root",
// "hkey_users", "hkey_current_config", in this order.
std::span<const std::wstring_view> RootNames();

// "hkcc", "hkcr", "hkcu", "hklm", "hku" with their full root names, in
// ascending order of the abbreviation.
std::span<const RootAbbreviation> RootAbbreviations();

// "hkey_local_machine\software\", "hkey_current_user\software\".
std::span<const std::wstring_view> SoftwarePrefixes();

// "hkey_local_machine\software\wow6432node\",
// "hkey_current_user\software\wow6432node\".
std::span<const std::wstring_view> Wow6432NodePrefixes();

// The predefined key of a full root name; throws
// std::out_of_range("invalid unordered_map<K, T> key") for a name that is not
// one (an abbreviation included).
platform::RegistryRoot LookupRootKey(std::wstring_view name);

// The seam's view for an access mask: KEY_WOW64_64KEY or the default view.
platform::RegistryView ViewOfAccess(std::uint32_t access);
