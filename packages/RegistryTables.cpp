#include "packages/RegistryTables.h"

#include <stdexcept>

namespace {

using platform::RegistryRoot;

struct RootKey {
  std::wstring_view name;
  RegistryRoot root;
};

constexpr RootKey kRootKeys[] = {
    {L"hkey_local_machine", RegistryRoot::LocalMachine}, {L"hkey_current_user", RegistryRoot::CurrentUser},
    {L"hkey_classes_root", RegistryRoot::ClassesRoot},   {L"hkey_users", RegistryRoot::Users},
    {L"hkey_current_config", RegistryRoot::CurrentConfig},
};

constexpr std::wstring_view kRootNames[] = {L"hkey_local_machine", L"hkey_current_user", L"hkey_classes_root",
                                            L"hkey_users", L"hkey_current_config"};

constexpr RootAbbreviation kRootAbbreviations[] = {
    {L"hkcc", L"hkey_current_config"}, {L"hkcr", L"hkey_classes_root"}, {L"hkcu", L"hkey_current_user"},
    {L"hklm", L"hkey_local_machine"},  {L"hku", L"hkey_users"},
};

constexpr std::wstring_view kSoftwarePrefixes[] = {L"hkey_local_machine\\software\\", L"hkey_current_user\\software\\"};

constexpr std::wstring_view kWow6432NodePrefixes[] = {L"hkey_local_machine\\software\\wow6432node\\",
                                                      L"hkey_current_user\\software\\wow6432node\\"};

}  // namespace

std::span<const std::wstring_view> RootNames() { return kRootNames; }

std::span<const RootAbbreviation> RootAbbreviations() { return kRootAbbreviations; }

std::span<const std::wstring_view> SoftwarePrefixes() { return kSoftwarePrefixes; }

std::span<const std::wstring_view> Wow6432NodePrefixes() { return kWow6432NodePrefixes; }

platform::RegistryRoot LookupRootKey(std::wstring_view name) {
  for (const auto& key : kRootKeys)
    if (key.name == name) return key.root;
  throw std::out_of_range("invalid unordered_map<K, T> key");
}

platform::RegistryView ViewOfAccess(std::uint32_t access) {
  return (access & kKeyWow64_64Key) ? platform::RegistryView::Force64 : platform::RegistryView::Default;
}
