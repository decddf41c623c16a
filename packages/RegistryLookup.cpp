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

}  // namespace

RegistryLookup::RegistryLookup(std::shared_ptr<platform::Registry> registry,
                               std::shared_ptr<platform::SystemInfo> system)
    : registry(std::move(registry)), system(std::move(system)) {}

bool RegistryLookup::RegistryKeyExists(const std::wstring& fullPath) {
  for (const auto& prefix : SoftwarePrefixes())
    if (fullPath.starts_with(prefix)) return SoftwareKeyExists(fullPath);

  const auto separator = fullPath.find(L'\\');
  const auto root = LookupRootKey(fullPath.substr(0, separator));
  const std::wstring subKey = separator == std::wstring::npos ? L"" : fullPath.substr(separator + 1);
  std::unique_ptr<platform::RegistryKey> key;
  return registry->OpenKey(root, subKey, platform::RegistryView::Default, key) == platform::kErrorSuccess;
}

bool RegistryLookup::SoftwareKeyExists(const std::wstring& fullPath) {
  std::wstring resolved = fullPath;
  std::uint32_t view = 0;
  if (ResolveRegistryView(resolved, view, *system)) return false;

  const auto parts = SplitRegistryPath(fullPath);
  const auto root = LookupRootKey(parts[0]);
  const std::wstring& software = parts[1];
  auto& cached = subkeyCache[root][view][software];
  if (!cached) {
    // Measured once per pass: a software key that cannot be opened or listed
    // has no children for the rest of it.
    cached.emplace();
    std::unique_ptr<platform::RegistryKey> softwareKey;
    if (registry->OpenKey(root, software, ViewOfAccess(view | kKeyRead), softwareKey) != platform::kErrorSuccess)
      return false;
    try {
      for (auto& child : EnumerateSubkeys(*softwareKey)) cached->insert(std::move(child));
    } catch (const win32::RegistryError&) {
      cached->clear();
      return false;
    }
  }
  const auto& children = *cached;

  const std::wstring rest = resolved.substr(parts[0].size() + 1 + software.size() + 1);
  const std::wstring first = rest.substr(0, rest.find(L'\\'));
  if (!children.contains(first)) return false;

  // Most keys the rules name are absent: error codes, not exceptions.
  const auto keyView = ViewOfAccess(view | kKeyRead);
  std::unique_ptr<platform::RegistryKey> softwareKey, key;
  return registry->OpenKey(root, software, keyView, softwareKey) == platform::kErrorSuccess &&
         softwareKey->OpenSubKey(rest, keyView, key) == platform::kErrorSuccess;
}

std::unique_ptr<platform::RegistryKey> RegistryLookup::TryOpen(const std::wstring& fullPath, std::uint32_t access) {
  std::unique_ptr<platform::RegistryKey> key;
  if (TryOpenRegistryPath(*registry, fullPath, access, key) != platform::kErrorSuccess) return nullptr;
  return key;
}

bool RegistryLookup::ReadRegistryValueAsText(const std::wstring& root, const std::wstring& keyPath,
                                             const std::wstring& valueName, std::wstring& out) {
  std::vector<std::wstring> candidates = {root + L"\\" + keyPath};
  if (Is64BitWindows(*system) && keyPath.starts_with(L"software"))
    candidates.push_back(root + L"\\" + keyPath.substr(0, 8) + L"\\wow6432node" + keyPath.substr(8));

  for (auto& candidate : candidates) {
    if (!RegistryKeyExists(candidate)) continue;
    std::uint32_t access = kKeyRead;
    if (ResolveRegistryView(candidate, access, *system)) continue;
    try {
      auto key = OpenRegistryPath(*registry, candidate, access);
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
      auto [keyPath, valueName] = CutAtLastBackslash(candidate);
      if (!RegistryKeyExists(keyPath)) continue;
      std::uint32_t access = kKeyRead;
      if (ResolveRegistryView(keyPath, access, *system)) continue;
      auto key = TryOpen(keyPath, access);
      if (key && RegistryValueExists(*key, valueName)) return true;
    }
  }
  return false;
}

bool RegistryLookup::AnyValueDataMatches(const std::vector<std::wstring>& entries) {
  for (const auto& entry : entries) {
    for (const auto& candidate : ExpandRegistryPath(ToLowerWide(entry), *system)) {
      const auto [rest, expected] = CutAtLastBackslash(candidate);
      auto [keyPath, valueName] = CutAtLastBackslash(rest);
      if (!RegistryKeyExists(keyPath)) continue;
      std::uint32_t access = kKeyRead;
      if (ResolveRegistryView(keyPath, access, *system)) continue;
      auto key = TryOpen(keyPath, access);
      if (!key || !RegistryValueExists(*key, valueName)) continue;
      const auto type = GetRegistryValueType(*key, valueName);
      if (type != 0 && RegistryValueMatches(type, *key, valueName, expected)) return true;
    }
  }
  return false;
}
