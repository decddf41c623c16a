#include "platform/posix/MemoryRegistry.h"

#include <algorithm>
#include <cwctype>

#include "util/Utf8.h"

namespace platform::posix {
namespace {

std::wstring Lower(std::wstring text) {
  for (auto& c : text) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return text;
}

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

class MemoryRegistryKey : public RegistryKey {
 public:
  MemoryRegistryKey(std::shared_ptr<MemoryRegistry::State> state, std::wstring path)
      : state(std::move(state)), path(std::move(path)) {}

  Win32Error QueryValue(const std::wstring& name, std::size_t capacity, RegistryValue& value) override {
    return Query(name, capacity, value, false);
  }

  Win32Error QueryValueNarrow(const std::string& name, std::size_t capacity, RegistryValue& value) override {
    return Query(Utf8ToWide(name), capacity, value, true);
  }

 private:
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
  std::wstring path;
};

}  // namespace

std::vector<std::uint8_t> RegistryStringBytes(const std::wstring& text) {
  std::vector<std::uint8_t> bytes;
  const auto put = [&](std::uint32_t unit) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((unit >> 8) & 0xFF));
  };
  for (wchar_t c : text) {
    const auto cp = static_cast<std::uint32_t>(c);
    if (cp >= 0x10000) {  // only where wchar_t holds whole code points
      put(0xD800 + ((cp - 0x10000) >> 10));
      put(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      put(cp);
    }
  }
  put(0);
  return bytes;
}

std::wstring RegistryBytesToString(const std::vector<std::uint8_t>& bytes) {
  std::wstring units;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto unit = static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8));
    if (unit == 0) break;
    units.push_back(unit);
  }
  if constexpr (sizeof(wchar_t) == 2) return units;
  // Pair the surrogates into whole code points for 32-bit wchar_t.
  std::wstring text;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const auto c = static_cast<std::uint32_t>(units[i]);
    const auto next = i + 1 < units.size() ? static_cast<std::uint32_t>(units[i + 1]) : 0u;
    if (c >= 0xD800 && c <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
      text.push_back(static_cast<wchar_t>(0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00)));
      ++i;
    } else {
      text.push_back(static_cast<wchar_t>(c));
    }
  }
  return text;
}

MemoryRegistry::MemoryRegistry(bool is64BitMachine)
    : is64BitMachine(is64BitMachine), state(std::make_shared<State>()) {}

std::vector<std::wstring> MemoryRegistry::PhysicalParts(RegistryRoot root, const std::wstring& subKey,
                                                       RegistryView view) const {
  std::vector<std::wstring> parts = SplitPath(subKey);
  const bool redirect = is64BitMachine && view != RegistryView::Force64 && root == RegistryRoot::LocalMachine &&
                        !parts.empty() && Lower(parts[0]) == L"software" &&
                        !(parts.size() > 1 && Lower(parts[1]) == L"wow6432node");
  if (redirect) parts.insert(parts.begin() + 1, L"Wow6432Node");
  parts.insert(parts.begin(), RootName(root));
  return parts;
}

std::wstring MemoryRegistry::PhysicalPath(RegistryRoot root, const std::wstring& subKey, RegistryView view) const {
  std::wstring path;
  for (const auto& part : PhysicalParts(root, subKey, view)) path += (path.empty() ? L"" : L"\\") + Lower(part);
  return path;
}

Win32Error MemoryRegistry::OpenKey(RegistryRoot root, const std::wstring& subKey, RegistryView view,
                                   std::unique_ptr<RegistryKey>& key) {
  const std::wstring path = PhysicalPath(root, subKey, view);
  {
    std::lock_guard lock(state->mutex);
    // The roots themselves always exist.
    if (path.find(L'\\') != std::wstring::npos && !state->keys.contains(path)) return kErrorFileNotFound;
    if (!state->keys.contains(path)) state->keys[path].name = path;
  }
  key = std::make_unique<MemoryRegistryKey>(state, path);
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
    if (key.name.empty()) key.name = part;
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

void MemoryRegistry::DeleteKey(RegistryRoot root, const std::wstring& subKey, RegistryView view) {
  const std::wstring path = PhysicalPath(root, subKey, view);
  std::lock_guard lock(state->mutex);
  std::erase_if(state->keys, [&](const auto& entry) {
    return entry.first == path || entry.first.rfind(path + L"\\", 0) == 0;
  });
}

void MemoryRegistry::DeleteValue(RegistryRoot root, const std::wstring& subKey, const std::wstring& name,
                                 RegistryView view) {
  const std::wstring path = PhysicalPath(root, subKey, view);
  std::lock_guard lock(state->mutex);
  if (auto key = state->keys.find(path); key != state->keys.end()) key->second.values.erase(Lower(name));
}

}  // namespace platform::posix
