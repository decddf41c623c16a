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

// A key's place in the store: its physical path in lower case
// ("hklm\software\wow6432node\vendor") and how many elements below the
// root it lies.
struct PhysicalKey {
  std::wstring path;
  std::size_t depth = 0;
};

// The element of a path that starts at or after `pos`, runs of backslashes
// stepped over; empty at the end. `pos` moves past it.
std::wstring_view NextElement(std::wstring_view path, std::size_t& pos) {
  while (pos < path.size() && path[pos] == L'\\') ++pos;
  const std::size_t start = pos;
  while (pos < path.size() && path[pos] != L'\\') ++pos;
  return path.substr(start, pos - start);
}

bool IsLowerCaseOf(std::wstring_view lower, std::wstring_view text) {
  if (lower.size() != text.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (ToLowerWideChar(text[i]) != lower[i]) return false;
  return true;
}

// The key subKey names below `base` (the root when null), after WOW64
// redirection. `names`, when given, receives the path's elements with their
// case as written, the root's short name first.
PhysicalKey Resolve(bool is64BitMachine, RegistryRoot root, const PhysicalKey* base, std::wstring_view subKey,
                    RegistryView view, std::vector<std::wstring>* names = nullptr) {
  PhysicalKey key;
  key.path.reserve((base ? base->path.size() : 4) + subKey.size() + 13);
  key.path = base ? std::wstring_view(base->path) : std::wstring_view(RootName(root));
  key.depth = base ? base->depth : 0;
  if (names) names->assign(1, key.path);
  std::size_t pos = 0;
  std::wstring_view element = NextElement(subKey, pos);
  if (element.empty()) return key;

  // A 32-bit open is redirected where it steps from the root into Software
  // or from Software into one of its children.
  bool redirect = is64BitMachine && view != RegistryView::Force64 && root == RegistryRoot::LocalMachine &&
                  key.depth <= 1;
  if (redirect) {
    std::size_t after = pos;
    const std::wstring_view software =
        key.depth == 0 ? element : std::wstring_view(key.path).substr(key.path.find(L'\\') + 1);
    const std::wstring_view next = key.depth == 0 ? NextElement(subKey, after) : element;
    redirect = IsLowerCaseOf(L"software", software) && !(!next.empty() && IsLowerCaseOf(L"wow6432node", next));
  }
  const auto append = [&](std::wstring_view name) {
    key.path += L'\\';
    for (const wchar_t c : name) key.path += ToLowerWideChar(c);
    ++key.depth;
    if (names) names->emplace_back(name);
  };
  if (redirect && key.depth == 0) {
    append(element);
    element = NextElement(subKey, pos);
  }
  if (redirect) append(L"Wow6432Node");
  for (; !element.empty(); element = NextElement(subKey, pos)) append(element);
  return key;
}

MemoryRegistry::StoredKey* FindKey(MemoryRegistry::State& state, std::wstring_view path) {
  const auto found = state.index.find(path);
  return found == state.index.end() ? nullptr : found->second;
}

// The key of `path`, added with the name given when it is not there; the
// state's mutex is held.
MemoryRegistry::StoredKey& AddKey(MemoryRegistry::State& state, const std::wstring& path, std::wstring_view name) {
  if (auto* key = FindKey(state, path)) return *key;
  auto& [stored, key] = *state.keys.emplace(path, MemoryRegistry::StoredKey{}).first;
  key.name = name;
  state.index.emplace(stored, &key);
  ++state.keysChanged;
  return key;
}

// Every key of the path of `names` (as Resolve gives them), ancestors first;
// the last one. The state's mutex is held.
MemoryRegistry::StoredKey& CreatePath(MemoryRegistry::State& state, const std::vector<std::wstring>& names) {
  std::wstring path;
  MemoryRegistry::StoredKey* key = nullptr;
  for (const auto& name : names) {
    if (!path.empty()) path += L'\\';
    path += Lower(name);
    key = &AddKey(state, path, name);
  }
  return *key;
}

class MemoryRegistryKey : public RegistryKey {
 public:
  MemoryRegistryKey(std::shared_ptr<MemoryRegistry::State> state, bool is64BitMachine, RegistryRoot root,
                    PhysicalKey self)
      : state(std::move(state)), is64BitMachine(is64BitMachine), root(root), self(std::move(self)) {}

  Win32Error QueryValue(const std::wstring& name, std::size_t capacity, RegistryValue& value) override {
    return Query(name, capacity, value, false);
  }

  Win32Error QueryValueNarrow(const std::string& name, std::size_t capacity, RegistryValue& value) override {
    return Query(Utf8ToWide(name), capacity, value, true);
  }

  Win32Error OpenSubKey(const std::wstring& subKey, RegistryView view, std::unique_ptr<RegistryKey>& key) override {
    PhysicalKey child = Resolve(is64BitMachine, root, &self, subKey, view);
    {
      std::lock_guard lock(state->mutex);
      if (!FindKey(*state, self.path)) return kErrorInvalidHandle;
      if (child.depth > 0 && !FindKey(*state, child.path)) return kErrorFileNotFound;
    }
    key = std::make_unique<MemoryRegistryKey>(state, is64BitMachine, root, std::move(child));
    return kErrorSuccess;
  }

  Win32Error GetValue(const std::wstring& subKey, const std::wstring& name, std::uint32_t flags,
                      std::size_t capacity, RegistryValue& value, std::uint32_t& size) override {
    if ((flags & kRrfRtRegExpandSz) && !(flags & kRrfNoExpand) && (flags & kRrfRtAny) != kRrfRtAny)
      return kErrorInvalidParameter;
    const std::wstring childPath =
        subKey.empty() ? std::wstring() : Resolve(is64BitMachine, root, &self, subKey, RegistryView::Default).path;
    RegistryValue stored;
    bool terminate = false;
    {
      std::lock_guard lock(state->mutex);
      auto* key = FindKey(*state, subKey.empty() ? self.path : childPath);
      if (!key) return subKey.empty() ? kErrorInvalidHandle : kErrorFileNotFound;
      auto found = key->values.find(name);
      if (found == key->values.end()) return kErrorFileNotFound;
      const RegistryValue& kept = found->second.value;
      stored.type = kept.type;
      // Strings come back terminated: an odd last byte is dropped, a NUL
      // added when the data does not end in one.
      std::size_t bytes = kept.data.size();
      if (IsStringType(kept.type)) {
        bytes -= bytes % 2;
        terminate = bytes < 2 || kept.data[bytes - 2] || kept.data[bytes - 1];
      }
      const bool expand = kept.type == kRegExpandSz && !(flags & kRrfNoExpand);
      // Only the size is asked, or the buffer is too small: no copy of the data.
      if (!expand && (capacity == 0 || bytes + (terminate ? 2 : 0) > capacity || !(flags & TypeFlag(kept.type)))) {
        value.type = kept.type;
        size = static_cast<std::uint32_t>(bytes + (terminate ? 2 : 0));
        value.data.clear();
        if (!(flags & TypeFlag(kept.type))) return kErrorUnsupportedType;
        return capacity == 0 ? kErrorSuccess : kErrorMoreData;
      }
      stored.data.assign(kept.data.begin(), kept.data.begin() + static_cast<std::ptrdiff_t>(bytes));
    }
    if (terminate) stored.data.insert(stored.data.end(), {0, 0});
    // Expandable strings come back expanded, as REG_SZ.
    if (stored.type == kRegExpandSz && !(flags & kRrfNoExpand)) {
      stored.data = RegistryStringBytes(ExpandEnvironment(RegistryBytesToString(stored.data)));
      stored.type = kRegSz;
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
    if (!FindKey(*state, self.path)) return kErrorInvalidHandle;
    info = {};
    const std::wstring prefix = self.path + L"\\";
    for (auto it = ChildFrom(state->keys.lower_bound(prefix), prefix); it != state->keys.end();
         it = ChildFrom(std::next(it), prefix)) {
      ++info.subKeyCount;
      info.maxSubKeyLength = std::max(info.maxSubKeyLength, static_cast<std::uint32_t>(it->second.name.size()));
    }
    return kErrorSuccess;
  }

  Win32Error EnumSubKey(std::uint32_t index, std::uint32_t capacity, std::wstring& name) override {
    std::lock_guard lock(state->mutex);
    if (!FindKey(*state, self.path)) return kErrorInvalidHandle;
    const std::wstring prefix = self.path + L"\\";
    // Callers ask for 0, 1, 2, ...: the next child follows the last one
    // given, unless keys were added or deleted since (which alone would
    // make the kept position invalid).
    const bool next = lastGiven && lastGiven->keysChanged == state->keysChanged && lastGiven->index + 1 == index;
    auto it = next ? ChildFrom(std::next(lastGiven->position), prefix)
                   : ChildFrom(state->keys.lower_bound(prefix), prefix);
    for (std::uint32_t position = next ? index : 0; position < index && it != state->keys.end(); ++position)
      it = ChildFrom(std::next(it), prefix);
    if (it == state->keys.end()) return kErrorNoMoreItems;
    lastGiven = LastGiven{state->keysChanged, index, it};
    if (it->second.name.size() + 1 > capacity) return kErrorMoreData;
    name = it->second.name;
    return kErrorSuccess;
  }

 private:
  using KeyIterator = std::map<std::wstring, MemoryRegistry::StoredKey, std::less<>>::const_iterator;

  // The first direct child of this key at or after `it` (end when none):
  // the keys below a child are stepped over, not visited, since "child]"
  // sorts right after every "child\\...". The state's mutex is held.
  KeyIterator ChildFrom(KeyIterator it, const std::wstring& prefix) const {
    const auto end = state->keys.end();
    while (it != end && it->first.starts_with(prefix)) {
      const auto deeper = it->first.find(L'\\', prefix.size());
      if (deeper == std::wstring::npos) return it;
      // The keys below one child are contiguous: a few are stepped over one
      // by one, a larger subtree with one search.
      const std::wstring_view below(it->first.data(), deeper + 1);
      for (int step = 0; step < 8 && it != end && it->first.starts_with(below); ++step) ++it;
      if (it != end && it->first.starts_with(below)) {
        std::wstring after(it->first, 0, deeper);
        after += L']';
        it = state->keys.lower_bound(after);
      }
    }
    return end;
  }

  Win32Error Query(const std::wstring& name, std::size_t capacity, RegistryValue& value, bool narrow) {
    std::lock_guard lock(state->mutex);
    auto* key = FindKey(*state, self.path);
    if (!key) return kErrorInvalidHandle;  // deleted while open
    auto stored = key->values.find(name);
    if (stored == key->values.end()) return kErrorFileNotFound;
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
  PhysicalKey self;
  // The child EnumSubKey gave last, and when.
  struct LastGiven {
    std::uint64_t keysChanged;
    std::uint32_t index;
    KeyIterator position;
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

bool MemoryRegistry::CaseInsensitiveLess::operator()(std::wstring_view a, std::wstring_view b) const {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const wchar_t x = ToLowerWideChar(a[i]);
    const wchar_t y = ToLowerWideChar(b[i]);
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

MemoryRegistry::MemoryRegistry(bool is64BitMachine)
    : is64BitMachine(is64BitMachine), state(std::make_shared<State>()) {}

std::wstring MemoryRegistry::PhysicalPath(RegistryRoot root, const std::wstring& subKey, RegistryView view) const {
  return Resolve(is64BitMachine, root, nullptr, subKey, view).path;
}

Win32Error MemoryRegistry::OpenKey(RegistryRoot root, const std::wstring& subKey, RegistryView view,
                                   std::unique_ptr<RegistryKey>& key) {
  PhysicalKey physical = Resolve(is64BitMachine, root, nullptr, subKey, view);
  {
    std::lock_guard lock(state->mutex);
    if (!FindKey(*state, physical.path)) {
      // The roots themselves always exist.
      if (physical.depth > 0) return kErrorFileNotFound;
      AddKey(*state, physical.path, physical.path);
    }
  }
  key = std::make_unique<MemoryRegistryKey>(state, is64BitMachine, root, std::move(physical));
  return kErrorSuccess;
}

Win32Error MemoryRegistry::OpenKeyNarrow(RegistryRoot root, const std::string& subKey, RegistryView view,
                                         std::unique_ptr<RegistryKey>& key) {
  return OpenKey(root, Utf8ToWide(subKey), view, key);
}

void MemoryRegistry::CreateKey(RegistryRoot root, const std::wstring& subKey, RegistryView view) {
  std::vector<std::wstring> names;
  Resolve(is64BitMachine, root, nullptr, subKey, view, &names);
  std::lock_guard lock(state->mutex);
  CreatePath(*state, names);
}

void MemoryRegistry::SetValue(RegistryRoot root, const std::wstring& subKey, const std::wstring& name,
                              RegistryValue value, RegistryView view) {
  std::vector<std::wstring> names;
  Resolve(is64BitMachine, root, nullptr, subKey, view, &names);
  std::lock_guard lock(state->mutex);
  CreatePath(*state, names).values.insert_or_assign(Lower(name), StoredValue{name, std::move(value)});
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
  for (auto it = state->keys.begin(); it != state->keys.end();) {
    if (it->first == path || it->first.starts_with(path + L"\\")) {
      state->index.erase(it->first);
      it = state->keys.erase(it);
    } else {
      ++it;
    }
  }
  ++state->keysChanged;
}

void MemoryRegistry::DeleteValue(RegistryRoot root, const std::wstring& subKey, const std::wstring& name,
                                 RegistryView view) {
  const std::wstring path = PhysicalPath(root, subKey, view);
  std::lock_guard lock(state->mutex);
  if (auto* key = FindKey(*state, path)) key->values.erase(name);
}

}  // namespace platform::posix
