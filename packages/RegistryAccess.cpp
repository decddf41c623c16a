#include "packages/RegistryAccess.h"

#include <stdexcept>
#include <string_view>

#include "platform/WindowsVersion.h"
#include "util/Lowercase.h"
#include "util/Utf16.h"

namespace {

// The first of the prefixes the text begins with, null when none.
const std::wstring_view* MatchingPrefix(const std::wstring& text, std::span<const std::wstring_view> prefixes) {
  for (const auto& prefix : prefixes)
    if (text.starts_with(prefix)) return &prefix;
  return nullptr;
}

// Whether the text begins with this root name followed by a backslash.
bool StartsWithRoot(const std::wstring& text, std::wstring_view root) {
  return text.size() > root.size() && text.starts_with(root) && text[root.size()] == L'\\';
}

// std::stoul as it behaves where unsigned long has 32 bits (Windows): the
// same syntax and exceptions, out of range above 32 bits, and a negative
// text wraps around within 32 bits as strtoul makes it.
unsigned long StoulOf32Bits(const std::wstring& text) {
  if constexpr (sizeof(unsigned long) == 4) {
    return std::stoul(text, nullptr, 10);
  } else {
    const unsigned long long value = std::stoull(text, nullptr, 10);
    const auto first = text.find_first_not_of(L" \t\n\v\f\r");
    const bool negative = first != std::wstring::npos && text[first] == L'-';
    const unsigned long long magnitude = negative ? 0 - value : value;
    if (magnitude > 0xFFFFFFFFull) throw std::out_of_range("stoul");
    return static_cast<unsigned long>(value & 0xFFFFFFFFull);
  }
}

// Whether text in lower case is `lower`, without a lower-case copy of it.
bool EqualsInLowerCase(std::wstring_view text, std::wstring_view lower) {
  if (text.size() != lower.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (ToLowerWideChar(text[i]) != lower[i]) return false;
  return true;
}

std::uint64_t LittleEndian(const std::vector<std::uint8_t>& bytes, std::size_t count) {
  std::uint64_t number = 0;
  for (std::size_t i = 0; i < count && i < bytes.size(); ++i) number |= std::uint64_t{bytes[i]} << (8 * i);
  return number;
}

std::uint64_t ReadNumber(platform::RegistryKey& key, const std::wstring& valueName, std::uint32_t flag,
                         std::size_t size, const char* failure) {
  platform::RegistryValue value;
  std::uint32_t bytes = 0;
  const auto result = key.GetValue(L"", valueName, flag, size, value, bytes);
  if (result != platform::kErrorSuccess) throw win32::RegistryError(failure, static_cast<std::int32_t>(result));
  return LittleEndian(value.data, size);
}

}  // namespace

std::vector<std::wstring> ExpandRegistryPath(const std::wstring& path, platform::SystemInfo& system) {
  if (path.empty()) return {};

  if (path.starts_with(L"hkey")) {
    for (const auto& name : RootNames())
      if (StartsWithRoot(path, name)) return {path};
  }
  if (path.starts_with(L"hk")) {
    for (const auto& [abbreviation, name] : RootAbbreviations())
      if (StartsWithRoot(path, abbreviation)) return {std::wstring(name).append(path, abbreviation.size())};
  }
  // Each candidate is allocated once, at its final size.
  const auto joined = [&](std::wstring_view prefix) {
    std::wstring candidate;
    candidate.reserve(prefix.size() + path.size());
    return std::move(candidate.append(prefix).append(path));
  };
  std::vector<std::wstring> candidates;
  const bool is64 = Is64BitWindows(system);
  candidates.reserve(is64 ? 4 : 2);
  for (const auto& prefix : SoftwarePrefixes()) candidates.push_back(joined(prefix));
  if (is64) {
    for (const auto& prefix : Wow6432NodePrefixes()) candidates.push_back(joined(prefix));
  }
  return candidates;
}

std::vector<std::wstring> SplitRegistryPath(const std::wstring& path) {
  std::vector<std::wstring> parts;
  std::size_t start = 0;
  for (auto end = path.find(L'\\'); end != std::wstring::npos; end = path.find(L'\\', start)) {
    parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  if (start < path.size()) parts.push_back(path.substr(start));
  return parts;
}

bool ResolveRegistryView(std::wstring& path, std::uint32_t& access, platform::SystemInfo& system) {
  const auto prefix = MatchingPrefix(path, SoftwarePrefixes());
  if (!prefix) return false;
  // The third component, which follows the prefix; there is none when
  // nothing does.
  if (path.size() == prefix->size()) throw std::out_of_range("invalid vector subscript");
  const auto end = path.find(L'\\', prefix->size());
  const std::size_t length = (end == std::wstring::npos ? path.size() : end) - prefix->size();
  const bool is64 = Is64BitWindows(system);
  if (length == 11 && EqualsInLowerCase(std::wstring_view(path).substr(prefix->size(), length), L"wow6432node")) {
    if (!is64) return true;
    // Read through the default view, which is the 32-bit one.
    if (const auto pos = path.find(L"wow6432node\\"); pos != std::wstring::npos) path.erase(pos, 12);
    return false;
  }
  if (is64) access |= kKeyWow64_64Key;
  return false;
}

std::unique_ptr<platform::RegistryKey> OpenRegistryKey(platform::Registry& registry, platform::RegistryRoot root,
                                                       const std::wstring& subKey, std::uint32_t access) {
  std::unique_ptr<platform::RegistryKey> key;
  const auto result = registry.OpenKey(root, subKey, ViewOfAccess(access), key);
  if (result != platform::kErrorSuccess)
    throw win32::RegistryError("Cannot open registry key: RegOpenKeyEx failed.", static_cast<std::int32_t>(result));
  return key;
}

std::unique_ptr<platform::RegistryKey> OpenRegistryKey(platform::RegistryKey& parent, const std::wstring& subKey,
                                                       std::uint32_t access) {
  std::unique_ptr<platform::RegistryKey> key;
  const auto result = parent.OpenSubKey(subKey, ViewOfAccess(access), key);
  if (result != platform::kErrorSuccess)
    throw win32::RegistryError("Cannot open registry key: RegOpenKeyEx failed.", static_cast<std::int32_t>(result));
  return key;
}

platform::Win32Error TryOpenRegistryPath(platform::Registry& registry, const std::wstring& fullPath,
                                         std::uint32_t access, std::unique_ptr<platform::RegistryKey>& key) {
  const auto separator = fullPath.find(L'\\');
  const auto root = LookupRootKey(fullPath.substr(0, separator));
  const std::wstring rest = separator == std::wstring::npos ? L"" : fullPath.substr(separator + 1);
  return registry.OpenKey(root, rest, ViewOfAccess(access), key);
}

std::unique_ptr<platform::RegistryKey> OpenRegistryPath(platform::Registry& registry, const std::wstring& fullPath,
                                                        std::uint32_t access) {
  std::unique_ptr<platform::RegistryKey> key;
  if (const auto result = TryOpenRegistryPath(registry, fullPath, access, key); result != platform::kErrorSuccess)
    throw win32::RegistryError("Cannot open registry key: RegOpenKeyEx failed.", static_cast<std::int32_t>(result));
  return key;
}

std::wstring ReadRegistryString(platform::RegistryKey& key, const std::wstring& subKey, const std::wstring& valueName) {
  // First the size in bytes, then the data into a buffer of that size.
  platform::RegistryValue value;
  std::uint32_t bytes = 0;
  auto result = key.GetValue(subKey, valueName, platform::kRrfRtRegSz, 0, value, bytes);
  if (result != platform::kErrorSuccess)
    throw win32::RegistryError("Cannot read string from registry", static_cast<std::int32_t>(result));
  const std::size_t units = bytes / 2;
  if (units == 0) return {};
  result = key.GetValue(subKey, valueName, platform::kRrfRtRegSz, units * 2, value, bytes);
  if (result != platform::kErrorSuccess)
    throw win32::RegistryError("Cannot read string from registry", static_cast<std::int32_t>(result));
  return Utf16LeToWide(value.data, units - 1);  // without the terminating NUL
}

std::uint32_t ReadRegistryDword(platform::RegistryKey& key, const std::wstring& valueName) {
  return static_cast<std::uint32_t>(
      ReadNumber(key, valueName, platform::kRrfRtRegDword, 4, "Cannot read DWORD from registry."));
}

std::uint64_t ReadRegistryQword(platform::RegistryKey& key, const std::wstring& valueName) {
  return ReadNumber(key, valueName, platform::kRrfRtRegQword, 8, "Cannot read QWORD from registry.");
}

std::vector<std::wstring> EnumerateSubkeys(platform::RegistryKey& key) {
  platform::RegistryKeyInfo info;
  auto result = key.QueryInfo(info);
  if (result != platform::kErrorSuccess)
    throw win32::RegistryError("RegQueryInfoKey failed while preparing for subkey enumeration.",
                               static_cast<std::int32_t>(result));
  std::vector<std::wstring> names;
  names.reserve(info.subKeyCount);
  for (std::uint32_t index = 0; index < info.subKeyCount; ++index) {
    std::wstring name;
    result = key.EnumSubKey(index, info.maxSubKeyLength + 1, name);
    if (result != platform::kErrorSuccess)
      throw win32::RegistryError("Cannot enumerate subkeys: RegEnumKeyEx failed.", static_cast<std::int32_t>(result));
    names.push_back(ToLowerWide(std::move(name)));
  }
  return names;
}

bool RegistryValueExists(platform::RegistryKey& key, const std::wstring& valueName) {
  platform::RegistryValue value;
  std::uint32_t bytes = 0;
  return key.GetValue(L"", valueName, platform::kRrfRtAny, 0, value, bytes) == platform::kErrorSuccess;
}

std::uint32_t GetRegistryValueType(platform::RegistryKey& key, const std::wstring& valueName) {
  platform::RegistryValue value;
  if (key.QueryValue(valueName, 0, value) != platform::kErrorSuccess) return 0;
  return value.type;
}

bool RegistryValueMatches(std::uint32_t type, platform::RegistryKey& key, const std::wstring& valueName,
                          const std::wstring& expected) {
  switch (type) {
    case platform::kRegSz: {
      std::wstring text;
      try {
        text = ReadRegistryString(key, L"", valueName);
      } catch (const win32::RegistryError&) {
        return false;
      }
      return ToLowerWide(std::move(text)) == expected;
    }
    case platform::kRegDword:
    case platform::kRegQword: {
      // Read first: a value that cannot be read is no match, whatever the text.
      const bool dword = type == platform::kRegDword;
      std::uint64_t number = 0;
      try {
        number = dword ? ReadRegistryDword(key, valueName) : ReadRegistryQword(key, valueName);
      } catch (const win32::RegistryError&) {
        return false;
      }
      return number == (dword ? StoulOf32Bits(expected) : std::stoull(expected, nullptr, 10));
    }
    default:
      return false;
  }
}
