#include "platform/posix/MemoryRegistry.h"

#include <algorithm>
#include <cstdlib>
#include <cwctype>
#include <iterator>
#include <optional>

#include "util/Lowercase.h"
#include "util/Utf16.h"
#include "util/Utf8.h"

namespace platform::posix {
namespace {

std::wstring Lower(std::wstring text) { return ToLowerWide(std::move(text)); }

std::vector<std::wstring> SplitPath(const std::wstring& path) {
  std::vector<std::wstring> parts;
  std::wstring part;
  for (wchar_t c : path) {
    if (c == L'\\') {
      if (!part.empty()) parts.push_back(std::move(part));
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(std::move(part));
  return parts;
}

const wchar_t* RootName(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::ClassesRoot: return L"hkcr";
    case RegistryRoot::CurrentUser: return L"hkcu";
    case RegistryRoot::LocalMachine: return L"hklm";
    case RegistryRoot::Users: return L"hku";
    case RegistryRoot::CurrentConfig: return L"hkcc";
  }
  return L"?";
}

bool IsStringType(std::uint32_t type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

std::wstring JoinLower(const std::vector<std::wstring>& parts) {
  std::wstring path;
  for (const auto& part : parts) path += (path.empty() ? L"" : L"\\") + Lower(part);
  return path;
}

// The RRF_RT_* bit that admits a value type.
std::uint32_t TypeFlag(std::uint32_t type) {
  switch (type) {
    case kRegNone: return 0x1;
    case kRegSz: return kRrfRtRegSz;
    case kRegExpandSz: return kRrfRtRegExpandSz;
    case kRegBinary: return 0x8;
    case kRegDword: return kRrfRtRegDword;
    case kRegMultiSz: return 0x20;
    case kRegQword: return kRrfRtRegQword;
    default: return 0;
  }
}

// ExpandEnvironmentStringsW over the process environment: %NAME% of a set
// variable becomes its value, anything else stays.
std::wstring ExpandEnvironment(const std::wstring& text) {
  std::wstring expanded;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const auto open = text.find(L'%', pos);
    const auto close = open == std::wstring::npos ? std::wstring::npos : text.find(L'%', open + 1);
    if (close == std::wstring::npos) break;
    const char* value = std::getenv(WideToUtf8(text.substr(open + 1, close - open - 1)).c_str());
    expanded += text.substr(pos, open - pos);
    if (value) {
      expanded += Utf8ToWide(value);
      pos = close + 1;
    } else {
      expanded += L'%';
      pos = open + 1;
    }
  }
  return expanded + text.substr(std::min(pos, text.size()));
}

std::vector<std::wstring> PhysicalPartsOf(bool is64BitMachine, RegistryRoot root, const std::wstring& subKey,
                                          RegistryView view, const std::vector<std::wstring>& base) {
  // `base` holds the root's short name first; the rest is below the root.
  std::vector<std::wstring> parts(base.empty() ? base.begin() : base.begin() + 1, base.end());
  const std::size_t baseDepth = parts.size();
  for (auto& part : SplitPath(subKey)) parts.push_back(std::move(part));
  // A 32-bit open is redirected where it steps from the root into Software
  // or from Software into one of its children.
  const bool crossesSoftware = (baseDepth == 0 && !parts.empty()) || (baseDepth == 1 && parts.size() > 1);
  const bool redirect = is64BitMachine && view != RegistryView::Force64 && root == RegistryRoot::LocalMachine &&
                        crossesSoftware && Lower(parts[0]) == L"software" &&
                        !(parts.size() > 1 && Lower(parts[1]) == L"wow6432node");
  if (redirect) parts.insert(parts.begin() + 1, L"Wow6432Node");
  parts.insert(parts.begin(), RootName(root));
  return parts;
}

class MemoryRegistryKey : public RegistryKey {
 public:
  MemoryRegistryKey(std::shared_ptr<MemoryRegistry::State> state, bool is64BitMachine, RegistryRoot root,
                    std::vector<std::wstring> parts)
      : state(std::move(state)), is64BitMachine(is64BitMachine), root(root), parts(std::move(parts)),
        path(JoinLower(this->parts)) {}

  Win32Error QueryValue(const std::wstring& name, std::size_t capacity, RegistryValue& value) override {
    return Query(name, capacity, value, false);
  }

  Win32Error QueryValueNarrow(const std::string& name, std::size_t capacity, RegistryValue& value) override {
    return Query(Utf8ToWide(name), capacity, value, true);
  }

  Win32Error OpenSubKey(const std::wstring& subKey, RegistryView view, std::unique_ptr<RegistryKey>& key) override {
    auto childParts = PhysicalPartsOf(is64BitMachine, root, subKey, view, parts);
    {
      std::lock_guard lock(state->mutex);
      if (!state->keys.contains(path)) return kErrorInvalidHandle;
      if (!state->keys.contains(JoinLower(childParts)) && childParts.size() > 1) return kErrorFileNotFound;
    }
    key = std::make_unique<MemoryRegistryKey>(state, is64BitMachine, root, std::move(childParts));
    return kErrorSuccess;
  }

  Win32Error GetValue(const std::wstring& subKey, const std::wstring& name, std::uint32_t flags,
                      std::size_t capacity, RegistryValue& value, std::uint32_t& size) override {
    if ((flags & kRrfRtRegExpandSz) && !(flags & kRrfNoExpand) && (flags & kRrfRtAny) != kRrfRtAny)
      return kErrorInvalidParameter;
    const std::wstring keyPath = subKey.empty() ? path : JoinLower(PhysicalPartsOf(is64BitMachine, root, subKey,
                                                                                   RegistryView::Default, parts));
    RegistryValue stored;
    {
      std::lock_guard lock(state->mutex);
      auto key = state->keys.find(keyPath);
      if (key == state->keys.end()) return subKey.empty() ? kErrorInvalidHandle : kErrorFileNotFound;
      auto found = key->second.values.find(Lower(name));
      if (found == key->second.values.end()) return kErrorFileNotFound;
      stored = found->second.value;
    }
    if (IsStringType(stored.type)) {
      // Strings come back terminated; expandable ones expanded, as REG_SZ.
      if (stored.data.size() % 2) stored.data.pop_back();
      if (stored.data.size() < 2 || stored.data[stored.data.size() - 2] || stored.data.back())
        stored.data.insert(stored.data.end(), {0, 0});
      if (stored.type == kRegExpandSz && !(flags & kRrfNoExpand)) {
        stored.data = RegistryStringBytes(ExpandEnvironment(RegistryBytesToString(stored.data)));
        stored.type = kRegSz;
      }
    }
    value.type = stored.type;
    size = static_cast<std::uint32_t>(stored.data.size());
    value.data.clear();
    if (!(flags & TypeFlag(stored.type))) return kErrorUnsupportedType;
    if (capacity == 0) return kErrorSuccess;
    if (stored.data.size() > capacity) return kErrorMoreData;
    value.data = std::move(stored.data);
    return kErrorSuccess;
  }

  Win32Error QueryInfo(RegistryKeyInfo& info) override {
    std::lock_guard lock(state->mutex);
    if (!state->keys.contains(path)) return kErrorInvalidHandle;
    info = {};
    ForEachChild([&](const MemoryRegistry::StoredKey& child) {
      ++info.subKeyCount;
      info.maxSubKeyLength = std::max(info.maxSubKeyLength, static_cast<std::uint32_t>(child.name.size()));
    });
    return kErrorSuccess;
  }

  Win32Error EnumSubKey(std::uint32_t index, std::uint32_t capacity, std::wstring& name) override {
    std::lock_guard lock(state->mutex);
    if (!state->keys.contains(path)) return kErrorInvalidHandle;
    const std::wstring prefix = path + L"\\";
    // Callers ask for 0, 1, 2, ...: the next child follows the last one
    // given, unless keys were added or deleted since.
    const bool next = lastGiven && lastGiven->keysChanged == state->keysChanged && lastGiven->index + 1 == index;
    auto it = next ? ChildFrom(state->keys.upper_bound(lastGiven->path), prefix)
                   : ChildFrom(state->keys.lower_bound(prefix), prefix);
    for (std::uint32_t position = next ? index : 0; position < index && it != state->keys.end(); ++position)
      it = ChildFrom(std::next(it), prefix);
    if (it == state->keys.end()) return kErrorNoMoreItems;
    lastGiven = LastGiven{state->keysChanged, index, it->first};
    if (it->second.name.size() + 1 > capacity) return kErrorMoreData;
    name = it->second.name;
    return kErrorSuccess;
  }

 private:
  using KeyIterator = std::map<std::wstring, MemoryRegistry::StoredKey>::const_iterator;

  // The first direct child of this key at or after `it` (end when none):
  // the keys below a child are stepped over, not visited, since "child]"
  // sorts right after every "child\\...". The state's mutex is held.
  KeyIterator ChildFrom(KeyIterator it, const std::wstring& prefix) const {
    while (it != state->keys.end() && it->first.starts_with(prefix)) {
      const auto deeper = it->first.find(L'\\', prefix.size());
      if (deeper == std::wstring::npos) return it;
      it = state->keys.lower_bound(it->first.substr(0, deeper) + L"]");
    }
    return state->keys.end();
  }

  // Calls visit for each direct child, in order; the state's mutex is held.
  template <typename Visit>
  void ForEachChild(Visit visit) const {
    const std::wstring prefix = path + L"\\";
    for (auto it = ChildFrom(state->keys.lower_bound(prefix), prefix); it != state->keys.end();
         it = ChildFrom(std::next(it), prefix))
      visit(it->second);
  }

  Win32Error Query(const std::wstring& name, std::size_t capacity, RegistryValue& value, bool narrow) {
    std::lock_guard lock(state->mutex);
    auto key = state->keys.find(path);
    if (key == state->keys.end()) return kErrorInvalidHandle;  // deleted while open
    auto stored = key->second.values.find(Lower(name));
    if (stored == key->second.values.end()) return kErrorFileNotFound;
    value.type = stored->second.value.type;
    value.data.clear();
    if (capacity == 0) return kErrorSuccess;
    std::vector<std::uint8_t> data = stored->second.value.data;
    if (narrow && IsStringType(value.type)) {
      // The A functions convert each UTF-16 character, NULs included.
      std::wstring wide;
      for (std::size_t i = 0; i + 1 < data.size(); i += 2)
        wide.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
      const std::string converted = WideToUtf8(wide);
      data.assign(converted.begin(), converted.end());
    }
    if (data.size() > capacity) return kErrorMoreData;
    value.data = std::move(data);
    return kErrorSuccess;
  }

  std::shared_ptr<MemoryRegistry::State> state;
  bool is64BitMachine;
  RegistryRoot root;
  std::vector<std::wstring> parts;
  std::wstring path;
  // The child EnumSubKey gave last, and when.
  struct LastGiven {
    std::uint64_t keysChanged;
    std::uint32_t index;
    std::wstring path;
  };
  std::optional<LastGiven> lastGiven;
};

}  // namespace

std::vector<std::uint8_t> RegistryStringBytes(const std::wstring& text) {
  std::vector<std::uint8_t> bytes = WideToUtf16Le(text);
  bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

std::wstring RegistryBytesToString(const std::vector<std::uint8_t>& bytes) {
  std::size_t units = 0;
  while (2 * units + 1 < bytes.size() && (bytes[2 * units] || bytes[2 * units + 1])) ++units;
  return Utf16LeToWide(bytes, units);
}

MemoryRegistry::MemoryRegistry(bool is64BitMachine)
    : is64BitMachine(is64BitMachine), state(std::make_shared<State>()) {}

std::vector<std::wstring> MemoryRegistry::PhysicalParts(RegistryRoot root, const std::wstring& subKey,
                                                       RegistryView view,
                                                       const std::vector<std::wstring>& base) const {
  return PhysicalPartsOf(is64BitMachine, root, subKey, view, base);
}

std::wstring MemoryRegistry::PhysicalPath(RegistryRoot root, const std::wstring& subKey, RegistryView view) const {
  return JoinLower(PhysicalParts(root, subKey, view));
}

Win32Error MemoryRegistry::OpenKey(RegistryRoot root, const std::wstring& subKey, RegistryView view,
                                   std::unique_ptr<RegistryKey>& key) {
  auto parts = PhysicalParts(root, subKey, view);
  const std::wstring path = JoinLower(parts);
  {
    std::lock_guard lock(state->mutex);
    // The roots themselves always exist.
    if (parts.size() > 1 && !state->keys.contains(path)) return kErrorFileNotFound;
    if (!state->keys.contains(path)) {
      state->keys[path].name = parts.front();
      ++state->keysChanged;
    }
  }
  key = std::make_unique<MemoryRegistryKey>(state, is64BitMachine, root, std::move(parts));
  return kErrorSuccess;
}

Win32Error MemoryRegistry::OpenKeyNarrow(RegistryRoot root, const std::string& subKey, RegistryView view,
                                         std::unique_ptr<RegistryKey>& key) {
  return OpenKey(root, Utf8ToWide(subKey), view, key);
}

void MemoryRegistry::CreateKey(RegistryRoot root, const std::wstring& subKey, RegistryView view) {
  const std::vector<std::wstring> parts = PhysicalParts(root, subKey, view);
  std::lock_guard lock(state->mutex);
  // Create every ancestor, keeping the names as written.
  std::wstring path;
  for (const auto& part : parts) {
    path += (path.empty() ? L"" : L"\\") + Lower(part);
    auto& key = state->keys[path];
    if (key.name.empty()) {
      key.name = part;
      ++state->keysChanged;
    }
  }
}

void MemoryRegistry::SetValue(RegistryRoot root, const std::wstring& subKey, const std::wstring& name,
                              RegistryValue value, RegistryView view) {
  CreateKey(root, subKey, view);
  const std::wstring path = PhysicalPath(root, subKey, view);
  std::lock_guard lock(state->mutex);
  state->keys[path].values[Lower(name)] = StoredValue{name, std::move(value)};
}

void MemoryRegistry::SetString(RegistryRoot root, const std::wstring& subKey, const std::wstring& name,
                               const std::wstring& text, RegistryView view) {
  SetValue(root, subKey, name, RegistryValue{kRegSz, RegistryStringBytes(text)}, view);
}

void MemoryRegistry::SetDword(RegistryRoot root, const std::wstring& subKey, const std::wstring& name,
                              std::uint32_t number, RegistryView view) {
  std::vector<std::uint8_t> bytes(4);
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(number >> (8 * i));
  SetValue(root, subKey, name, RegistryValue{kRegDword, std::move(bytes)}, view);
}

void MemoryRegistry::SetQword(RegistryRoot root, const std::wstring& subKey, const std::wstring& name,
                              std::uint64_t number, RegistryView view) {
  std::vector<std::uint8_t> bytes(8);
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<std::uint8_t>(number >> (8 * i));
  SetValue(root, subKey, name, RegistryValue{kRegQword, std::move(bytes)}, view);
}

void MemoryRegistry::DeleteKey(RegistryRoot root, const std::wstring& subKey, RegistryView view) {
  const std::wstring path = PhysicalPath(root, subKey, view);
  std::lock_guard lock(state->mutex);
  std::erase_if(state->keys, [&](const auto& entry) {
    return entry.first == path || entry.first.rfind(path + L"\\", 0) == 0;
  });
  ++state->keysChanged;
}

void MemoryRegistry::DeleteValue(RegistryRoot root, const std::wstring& subKey, const std::wstring& name,
                                 RegistryView view) {
  const std::wstring path = PhysicalPath(root, subKey, view);
  std::lock_guard lock(state->mutex);
  if (auto key = state->keys.find(path); key != state->keys.end()) key->second.values.erase(Lower(name));
}

}  // namespace platform::posix
