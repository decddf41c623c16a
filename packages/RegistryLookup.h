// The registry questions the offer rules ask, answered through the seam with
// a SubkeyCache, the software keys it was measured from kept open, and the
// keys below them found absent, for one pass over the offers.
//
// Rule entries are lowercased here (towlower per code unit) and expanded with
// ExpandRegistryPath. Every RegistryError is read as not found or no match.
// What escapes: std::out_of_range for a root name that is not a full one
// ("invalid unordered_map<K, T> key") or a software path of fewer than three
// components ("invalid vector subscript"), and the std::invalid_argument or
// std::out_of_range of a data text that is not a number when the value found
// is a REG_DWORD or REG_QWORD. Not thread-safe: one pass, one thread.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "packages/SubkeyCache.h"
#include "platform/Registry.h"
#include "platform/SystemInfo.h"

class RegistryLookup {
 public:
  RegistryLookup(std::shared_ptr<platform::Registry> registry, std::shared_ptr<platform::SystemInfo> system);

  // Whether the key of a full path ("hkey_...\...") exists. Below a software
  // prefix the key's first component under software must be among the cached
  // children of software in the path's view before any key is opened; other
  // paths are opened plainly with KEY_READ and no view flag.
  bool RegistryKeyExists(const std::wstring& fullPath);

  // The value `valueName` of root\keyPath as text: a REG_SZ as it is, a
  // REG_DWORD or REG_QWORD in unsigned decimal. On 64-bit Windows a keyPath
  // beginning with "software" is also tried below software\wow6432node.
  // Other types are skipped. False when no candidate has such a value.
  bool ReadRegistryValueAsText(const std::wstring& root, const std::wstring& keyPath, const std::wstring& valueName,
                               std::wstring& out);

  // Whether any entry's key exists. An empty entry ends the scan: false.
  bool AnyKeyExists(const std::vector<std::wstring>& entries);
  // Entries "key path\value name": whether any such value exists. An empty
  // entry ends the scan: false.
  bool AnyValueExists(const std::vector<std::wstring>& entries);
  // Entries "key path\value name\data": whether any value holds its data
  // (RegistryValueMatches). Empty entries are skipped.
  bool AnyValueDataMatches(const std::vector<std::wstring>& entries);

  const SubkeyCache& Cache() const { return subkeyCache; }

 private:
  // The key of a full path, opened as RegistryKeyExists opens it, in the
  // view ResolveRegistryView decides; null when it does not exist. The
  // value rules read through this key rather than opening the path again.
  std::unique_ptr<platform::RegistryKey> OpenExistingKey(const std::wstring& fullPath);
  // The same below the software prefix `prefix` (an index of
  // SoftwarePrefixes()).
  std::unique_ptr<platform::RegistryKey> OpenExistingSoftwareKey(const std::wstring& fullPath, std::size_t prefix);

  std::shared_ptr<platform::Registry> registry;
  std::shared_ptr<platform::SystemInfo> system;
  SubkeyCache subkeyCache;
  // Per software prefix and view: its SubkeyCache entry (null until
  // measured), the software key it was listed from, kept open (the keys
  // below it are opened through it; null when it could not be listed), and
  // the paths below it that could not be opened.
  struct SoftwareKey {
    const SubkeyChildren* children = nullptr;
    std::unique_ptr<platform::RegistryKey> key;
    SubkeyNames absent;
  };
  std::array<std::array<SoftwareKey, 2>, 2> softwareKeys;  // [prefix][view is KEY_WOW64_64KEY]
};
