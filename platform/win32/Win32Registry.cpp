#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include "platform/win32/UniqueHandle.h"

namespace platform::win32 {
namespace {

// The predefined keys are negative 32-bit numbers, sign-extended to a handle
// (HKEY_CLASSES_ROOT is (HKEY)(ULONG_PTR)(LONG)0x80000000).
HKEY RootKey(RegistryRoot root) {
  return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(static_cast<std::uint32_t>(root))));
}

bool IsClassesRoot(RegistryRoot root) { return RootKey(root) == HKEY_CLASSES_ROOT; }

// `shared`: the key is under HKEY_CLASSES_ROOT, which WOW64 does not split
// into views for the keys the rules name (file types and the like).
REGSAM ReadAccess(RegistryView view, bool shared) {
  switch (view) {
    case RegistryView::Force32: return KEY_READ | KEY_WOW64_32KEY;
    case RegistryView::Force64: return KEY_READ | KEY_WOW64_64KEY;
    case RegistryView::Default: break;
  }
#ifdef _WIN64
  // The product is a 32-bit program, whose default view is the 32-bit one;
  // the 64-bit build reads the registry as the product does.
  if (!shared) return KEY_READ | KEY_WOW64_32KEY;
#else
  (void)shared;
#endif
  return KEY_READ;
}

class Win32RegistryKey : public RegistryKey {
 public:
  Win32RegistryKey(HKEY key, bool shared) : key(key), shared(shared) {}

  Win32Error QueryValue(const std::wstring& name, std::size_t capacity, RegistryValue& value) override {
    return Query(capacity, value, [&](DWORD* type, BYTE* data, DWORD* size) {
      return ::RegQueryValueExW(key.Get(), name.c_str(), nullptr, type, data, size);
    });
  }

  Win32Error QueryValueNarrow(const std::string& name, std::size_t capacity, RegistryValue& value) override {
    return Query(capacity, value, [&](DWORD* type, BYTE* data, DWORD* size) {
      return ::RegQueryValueExA(key.Get(), name.c_str(), nullptr, type, data, size);
    });
  }

  Win32Error OpenSubKey(const std::wstring& subKey, RegistryView view, std::unique_ptr<RegistryKey>& opened) override {
    return Open(key.Get(), shared, subKey, view, opened);
  }

  Win32Error GetValue(const std::wstring& subKey, const std::wstring& name, std::uint32_t flags,
                      std::size_t capacity, RegistryValue& value, std::uint32_t& size) override {
    DWORD type = REG_NONE;
    DWORD bytes = static_cast<DWORD>(capacity);
    value.data.assign(capacity, 0);
    const LONG result = ::RegGetValueW(key.Get(), subKey.empty() ? nullptr : subKey.c_str(), name.c_str(), flags,
                                       &type, capacity ? value.data.data() : nullptr, &bytes);
    value.type = type;
    size = bytes;
    if (result == ERROR_SUCCESS && capacity) {
      value.data.resize(bytes);
    } else {
      value.data.clear();
    }
    return static_cast<Win32Error>(result);
  }

  Win32Error QueryInfo(RegistryKeyInfo& info) override {
    DWORD subKeys = 0;
    DWORD maxSubKeyLength = 0;
    const LONG result = ::RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subKeys, &maxSubKeyLength, nullptr,
                                           nullptr, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_SUCCESS) info = {.subKeyCount = subKeys, .maxSubKeyLength = maxSubKeyLength};
    return static_cast<Win32Error>(result);
  }

  Win32Error EnumSubKey(std::uint32_t index, std::uint32_t capacity, std::wstring& name) override {
    std::wstring buffer(capacity, L'\0');
    DWORD length = capacity;
    const LONG result =
        ::RegEnumKeyExW(key.Get(), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_SUCCESS) name.assign(buffer.data(), length);
    return static_cast<Win32Error>(result);
  }

  static Win32Error Open(HKEY parent, bool shared, const std::wstring& subKey, RegistryView view,
                         std::unique_ptr<RegistryKey>& opened) {
    HKEY handle = nullptr;
    const LONG result = ::RegOpenKeyExW(parent, subKey.c_str(), 0, ReadAccess(view, shared), &handle);
    if (result != ERROR_SUCCESS) return static_cast<Win32Error>(result);
    opened = std::make_unique<Win32RegistryKey>(handle, shared);
    return kErrorSuccess;
  }

 private:
  template <typename QueryFunction>
  static Win32Error Query(std::size_t capacity, RegistryValue& value, QueryFunction query) {
    DWORD type = REG_NONE;
    value.data.assign(capacity, 0);
    DWORD size = static_cast<DWORD>(capacity);
    const LONG result = query(&type, capacity ? value.data.data() : nullptr, capacity ? &size : nullptr);
    value.type = type;
    if (result != ERROR_SUCCESS || capacity == 0) {
      value.data.clear();
      return static_cast<Win32Error>(result);
    }
    value.data.resize(size);
    return kErrorSuccess;
  }

  RegistryKeyHandle key;
  bool shared;
};

}  // namespace

Win32Error Win32Registry::OpenKey(RegistryRoot root, const std::wstring& subKey, RegistryView view,
                                  std::unique_ptr<RegistryKey>& key) {
  return Win32RegistryKey::Open(RootKey(root), IsClassesRoot(root), subKey, view, key);
}

Win32Error Win32Registry::OpenKeyNarrow(RegistryRoot root, const std::string& subKey, RegistryView view,
                                        std::unique_ptr<RegistryKey>& key) {
  HKEY opened = nullptr;
  const LONG result = ::RegOpenKeyExA(RootKey(root), subKey.c_str(), 0, ReadAccess(view, IsClassesRoot(root)), &opened);
  if (result != ERROR_SUCCESS) return static_cast<Win32Error>(result);
  key = std::make_unique<Win32RegistryKey>(opened, IsClassesRoot(root));
  return kErrorSuccess;
}

}  // namespace platform::win32
