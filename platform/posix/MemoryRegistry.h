// The native build's registry: kept in memory, with a 64-bit and a 32-bit
// view as a 32-bit process on 64-bit Windows sees them. On a 64-bit machine
// the 32-bit view of HKLM\Software is HKLM\Software\Wow6432Node; on a 32-bit
// machine the view flags change nothing. Key and value names compare
// without regard to case; children are listed in the order of their
// lower-case names. Thread-safe. Fixtures are loaded from .reg files
// (platform/posix/RegFile.h).
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_map>

#include "platform/Registry.h"

namespace platform::posix {

class MemoryRegistry : public Registry {
 public:
  explicit MemoryRegistry(bool is64BitMachine = true);

  Win32Error OpenKey(RegistryRoot root, const std::wstring& subKey, RegistryView view,
                     std::unique_ptr<RegistryKey>& key) override;
  Win32Error OpenKeyNarrow(RegistryRoot root, const std::string& subKey, RegistryView view,
                           std::unique_ptr<RegistryKey>& key) override;

  // Writing, for tests and fixtures. Missing parent keys are created.
  void CreateKey(RegistryRoot root, const std::wstring& subKey, RegistryView view = RegistryView::Force64);
  void SetValue(RegistryRoot root, const std::wstring& subKey, const std::wstring& name, RegistryValue value,
                RegistryView view = RegistryView::Force64);
  void SetString(RegistryRoot root, const std::wstring& subKey, const std::wstring& name,
                 const std::wstring& text, RegistryView view = RegistryView::Force64);
  void SetDword(RegistryRoot root, const std::wstring& subKey, const std::wstring& name, std::uint32_t number,
                RegistryView view = RegistryView::Force64);
  void SetQword(RegistryRoot root, const std::wstring& subKey, const std::wstring& name, std::uint64_t number,
                RegistryView view = RegistryView::Force64);
  void DeleteKey(RegistryRoot root, const std::wstring& subKey, RegistryView view = RegistryView::Force64);
  void DeleteValue(RegistryRoot root, const std::wstring& subKey, const std::wstring& name,
                   RegistryView view = RegistryView::Force64);

  bool Is64BitMachine() const { return is64BitMachine; }

  // Orders names as their lower case does, so a name is found as it is
  // written, without a lower-case copy.
  struct CaseInsensitiveLess {
    using is_transparent = void;
    bool operator()(std::wstring_view a, std::wstring_view b) const;
  };
  struct StoredValue {
    std::wstring name;  // as written
    RegistryValue value;
  };
  struct StoredKey {
    std::wstring name;                                         // last path element as written
    std::map<std::wstring, StoredValue, CaseInsensitiveLess> values;  // by lower-case name
  };
  struct State {
    std::mutex mutex;
    // By physical lower-case path "hklm\software\...", in order: the
    // children of a key follow it.
    std::map<std::wstring, StoredKey, std::less<>> keys;
    // The same keys by hash, for opens; the views are the paths of `keys`.
    std::unordered_map<std::wstring_view, StoredKey*> index;
    std::uint64_t keysChanged = 0;  // counts additions and deletions of keys
  };

  // The physical path a (root, subKey, view) names, after WOW64 redirection,
  // in lower case.
  std::wstring PhysicalPath(RegistryRoot root, const std::wstring& subKey, RegistryView view) const;

 private:
  bool is64BitMachine;
  std::shared_ptr<State> state;
};

// UTF-16LE registry bytes of a string, with its terminating NUL.
std::vector<std::uint8_t> RegistryStringBytes(const std::wstring& text);
// The text of UTF-16LE registry bytes, up to the first NUL.
std::wstring RegistryBytesToString(const std::vector<std::uint8_t>& bytes);

}  // namespace platform::posix
