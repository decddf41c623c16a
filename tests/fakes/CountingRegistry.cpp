#include "tests/fakes/CountingRegistry.h"

#include "util/Utf8.h"

namespace fakes {
namespace {

class CountingKey : public platform::RegistryKey {
 public:
  CountingKey(std::unique_ptr<platform::RegistryKey> inner, std::shared_ptr<CountingRegistry::Counts> counts,
              CountingRegistry::Open where)
      : inner(std::move(inner)), counts(std::move(counts)), where(std::move(where)) {}

  platform::Win32Error QueryValue(const std::wstring& name, std::size_t capacity,
                                  platform::RegistryValue& value) override {
    ++counts->valueReads;
    return inner->QueryValue(name, capacity, value);
  }
  platform::Win32Error QueryValueNarrow(const std::string& name, std::size_t capacity,
                                        platform::RegistryValue& value) override {
    ++counts->valueReads;
    return inner->QueryValueNarrow(name, capacity, value);
  }
  platform::Win32Error OpenSubKey(const std::wstring& subKey, platform::RegistryView view,
                                  std::unique_ptr<platform::RegistryKey>& key) override {
    ++counts->subKeyOpens;
    std::unique_ptr<platform::RegistryKey> opened;
    const auto result = inner->OpenSubKey(subKey, view, opened);
    if (opened) {
      CountingRegistry::Open child{where.root, where.subKey.empty() ? subKey : where.subKey + L"\\" + subKey,
                                   view == platform::RegistryView::Default ? where.view : view};
      key = std::make_unique<CountingKey>(std::move(opened), counts, std::move(child));
    }
    return result;
  }
  platform::Win32Error GetValue(const std::wstring& subKey, const std::wstring& name, std::uint32_t flags,
                                std::size_t capacity, platform::RegistryValue& value, std::uint32_t& size) override {
    ++counts->valueReads;
    return inner->GetValue(subKey, name, flags, capacity, value, size);
  }
  platform::Win32Error QueryInfo(platform::RegistryKeyInfo& info) override {
    ++counts->enumerations;
    counts->enumerated.push_back(where);
    return inner->QueryInfo(info);
  }
  platform::Win32Error EnumSubKey(std::uint32_t index, std::uint32_t capacity, std::wstring& name) override {
    return inner->EnumSubKey(index, capacity, name);
  }

 private:
  std::unique_ptr<platform::RegistryKey> inner;
  std::shared_ptr<CountingRegistry::Counts> counts;
  CountingRegistry::Open where;
};

}  // namespace

platform::Win32Error CountingRegistry::OpenKey(platform::RegistryRoot root, const std::wstring& subKey,
                                               platform::RegistryView view,
                                               std::unique_ptr<platform::RegistryKey>& key) {
  counts->opens.push_back({root, subKey, view});
  std::unique_ptr<platform::RegistryKey> opened;
  const auto result = inner->OpenKey(root, subKey, view, opened);
  if (opened) key = std::make_unique<CountingKey>(std::move(opened), counts, counts->opens.back());
  return result;
}

platform::Win32Error CountingRegistry::OpenKeyNarrow(platform::RegistryRoot root, const std::string& subKey,
                                                     platform::RegistryView view,
                                                     std::unique_ptr<platform::RegistryKey>& key) {
  counts->opens.push_back({root, Utf8ToWide(subKey), view});
  std::unique_ptr<platform::RegistryKey> opened;
  const auto result = inner->OpenKeyNarrow(root, subKey, view, opened);
  if (opened) key = std::make_unique<CountingKey>(std::move(opened), counts, counts->opens.back());
  return result;
}

}  // namespace fakes
