#include "packages/RegistryTables.h"

#include <stdexcept>

const std::vector<std::wstring>& RootNames() {
  static const std::vector<std::wstring> names = {L"hkey_local_machine", L"hkey_current_user", L"hkey_classes_root",
                                                  L"hkey_users", L"hkey_current_config"};
  return names;
}

const std::map<std::wstring, std::wstring>& RootAbbreviations() {
  static const std::map<std::wstring, std::wstring> abbreviations = {
      {L"hkcc", L"hkey_current_config"}, {L"hkcr", L"hkey_classes_root"}, {L"hkcu", L"hkey_current_user"},
      {L"hklm", L"hkey_local_machine"},  {L"hku", L"hkey_users"},
  };
  return abbreviations;
}

const std::vector<std::wstring>& SoftwarePrefixes() {
  static const std::vector<std::wstring> prefixes = {L"hkey_local_machine\\software\\",
                                                     L"hkey_current_user\\software\\"};
  return prefixes;
}

const std::vector<std::wstring>& Wow6432NodePrefixes() {
  static const std::vector<std::wstring> prefixes = {L"hkey_local_machine\\software\\wow6432node\\",
                                                     L"hkey_current_user\\software\\wow6432node\\"};
  return prefixes;
}

const std::unordered_map<std::wstring, platform::RegistryRoot>& RootKeys() {
  using platform::RegistryRoot;
  static const std::unordered_map<std::wstring, RegistryRoot> keys = {
      {L"hkey_local_machine", RegistryRoot::LocalMachine}, {L"hkey_current_user", RegistryRoot::CurrentUser},
      {L"hkey_classes_root", RegistryRoot::ClassesRoot},   {L"hkey_users", RegistryRoot::Users},
      {L"hkey_current_config", RegistryRoot::CurrentConfig},
  };
  return keys;
}

platform::RegistryRoot LookupRootKey(const std::wstring& name) {
  const auto& keys = RootKeys();
  auto found = keys.find(name);
  if (found == keys.end()) throw std::out_of_range("invalid unordered_map<K, T> key");
  return found->second;
}

platform::RegistryView ViewOfAccess(std::uint32_t access) {
  return (access & kKeyWow64_64Key) ? platform::RegistryView::Force64 : platform::RegistryView::Default;
}
