#include "packages/RegistryLookup.h"

#include <algorithm>

#include "packages/RegistryAccess.h"
#include "platform/WindowsVersion.h"
#include "util/DecimalText.h"
#include "util/Lowercase.h"

namespace {

// A path cut at its last backslash: "a\b\c" gives "a\b" and "c".
struct PathCut {
  std::wstring before;
  std::wstring after;
};

PathCut CutAtLastBackslash(const std::wstring& text) {
  const auto pos = text.rfind(L'\\');
  if (pos == std::wstring::npos) return {text, text};
  return {text.substr(0, pos), text.substr(pos + 1)};
}

// The root of each software prefix, in the order of SoftwarePrefixes().
platform::RegistryRoot SoftwarePrefixRoot(std::size_t prefix) {
  static const std::vector<platform::RegistryRoot> roots = [] {
    std::vector<platform::RegistryRoot> list;
    for (const auto& path : SoftwarePrefixes()) list.push_back(LookupRootKey(path.substr(0, path.find(L'\\'))));
    return list;
  }();
  return roots[prefix];
}

}  // namespace

RegistryLookup::RegistryLookup(std::shared_ptr<platform::Registry> registry,
                               std::shared_ptr<platform::SystemInfo> system)
    : registry(std::move(registry)), system(std::move(system)) {}

bool RegistryLookup::RegistryKeyExists(const std::wstring& fullPath) { return OpenExistingKey(fullPath) != nullptr; }

std::unique_ptr<platform::RegistryKey> RegistryLookup::OpenExistingKey(const std::wstring& fullPath) {
  const auto& prefixes = SoftwarePrefixes();
  for (std::size_t prefix = 0; prefix < prefixes.size(); ++prefix)
    if (fullPath.starts_with(prefixes[prefix])) return OpenExistingSoftwareKey(fullPath, prefix);

  const auto separator = fullPath.find(L'\\');
  const auto root = LookupRootKey(fullPath.substr(0, separator));
  const std::wstring subKey = separator == std::wstring::npos ? L"" : fullPath.substr(separator + 1);
  std::unique_ptr<platform::RegistryKey> key;
  if (registry->OpenKey(root, subKey, platform::RegistryView::Default, key) != platform::kErrorSuccess) return nullptr;
  return key;
}

std::unique_ptr<platform::RegistryKey> RegistryLookup::OpenExistingSoftwareKey(const std::wstring& fullPath,
                                                                               std::size_t prefix) {
  std::wstring resolved = fullPath;
  std::uint32_t view = 0;
  if (ResolveRegistryView(resolved, view, *system)) return nullptr;

  static const std::wstring software = L"software";
  auto& [cached, softwareKey, absentKeys] = softwareKeys[prefix][view == 0 ? 0 : 1];
  if (!cached) {
    // Measured once per pass: a software key that cannot be opened or listed
    // has no children for the rest of it.
    const auto root = SoftwarePrefixRoot(prefix);
    auto& children = subkeyCache[root][view][software];
    children.emplace();
    cached = &children;
    if (registry->OpenKey(root, software, ViewOfAccess(view | kKeyRead), softwareKey) != platform::kErrorSuccess) {
      softwareKey.reset();
      return nullptr;
    }
    try {
      for (auto& child : EnumerateSubkeys(*softwareKey)) children->insert(std::move(child));
    } catch (const win32::RegistryError&) {
      children->clear();
      softwareKey.reset();
      return nullptr;
    }
  }

  // What follows the prefix; the wow6432node step of the path is gone.
  const std::wstring_view rest = std::wstring_view(resolved).substr(SoftwarePrefixes()[prefix].size());
  if (!(*cached)->contains(rest.substr(0, rest.find(L'\\')))) return nullptr;

  // Most keys the rules name are absent, and offers of one vendor name the
  // same ones: each is tried once per pass, by error code, not exception.
  if (absentKeys.contains(rest)) return nullptr;
  std::unique_ptr<platform::RegistryKey> key;
  if (softwareKey->OpenSubKey(std::wstring(rest), ViewOfAccess(view | kKeyRead), key) != platform::kErrorSuccess) {
    absentKeys.emplace(rest);
    return nullptr;
  }
  return key;
}

bool RegistryLookup::ReadRegistryValueAsText(const std::wstring& root, const std::wstring& keyPath,
                                             const std::wstring& valueName, std::wstring& out) {
  std::vector<std::wstring> candidates = {root + L"\\" + keyPath};
  if (Is64BitWindows(*system) && keyPath.starts_with(L"software"))
    candidates.push_back(root + L"\\" + keyPath.substr(0, 8) + L"\\wow6432node" + keyPath.substr(8));

  for (auto& candidate : candidates) {
    const auto key = OpenExistingKey(candidate);
    if (!key) continue;
    try {
      if (!RegistryValueExists(*key, valueName)) continue;
      switch (GetRegistryValueType(*key, valueName)) {
        case platform::kRegSz:
          out = ReadRegistryString(*key, L"", valueName);
          return true;
        case platform::kRegDword:
          out = DecimalText(ReadRegistryDword(*key, valueName));
          return true;
        case platform::kRegQword:
          out = DecimalText(ReadRegistryQword(*key, valueName));
          return true;
        default:
          break;
      }
    } catch (const win32::RegistryError&) {
    }
  }
  return false;
}

bool RegistryLookup::AnyKeyExists(const std::vector<std::wstring>& entries) {
  for (const auto& entry : entries) {
    const auto candidates = ExpandRegistryPath(ToLowerWide(entry), *system);
    if (candidates.empty()) return false;
    for (const auto& candidate : candidates)
      if (RegistryKeyExists(candidate)) return true;
  }
  return false;
}

bool RegistryLookup::AnyValueExists(const std::vector<std::wstring>& entries) {
  for (const auto& entry : entries) {
    const auto candidates = ExpandRegistryPath(ToLowerWide(entry), *system);
    if (candidates.empty()) return false;
    for (const auto& candidate : candidates) {
      const auto [keyPath, valueName] = CutAtLastBackslash(candidate);
      const auto key = OpenExistingKey(keyPath);
      if (key && RegistryValueExists(*key, valueName)) return true;
    }
  }
  return false;
}

bool RegistryLookup::AnyValueDataMatches(const std::vector<std::wstring>& entries) {
  for (const auto& entry : entries) {
    for (const auto& candidate : ExpandRegistryPath(ToLowerWide(entry), *system)) {
      const auto [rest, expected] = CutAtLastBackslash(candidate);
      const auto [keyPath, valueName] = CutAtLastBackslash(rest);
      const auto key = OpenExistingKey(keyPath);
      if (!key || !RegistryValueExists(*key, valueName)) continue;
      const auto type = GetRegistryValueType(*key, valueName);
      if (type != 0 && RegistryValueMatches(type, *key, valueName, expected)) return true;
    }
  }
  return false;
}
