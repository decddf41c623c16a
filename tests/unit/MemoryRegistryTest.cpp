#include "platform/posix/MemoryRegistry.h"

#include <gtest/gtest.h>

using namespace platform;
using platform::posix::MemoryRegistry;

namespace {

std::wstring ReadString(Registry& registry, RegistryView view, const std::wstring& path) {
  std::unique_ptr<RegistryKey> key;
  if (registry.OpenKey(RegistryRoot::LocalMachine, path, view, key) != kErrorSuccess) return L"<no key>";
  RegistryValue value;
  if (key->QueryValue(L"v", 1024, value) != kErrorSuccess) return L"<no value>";
  return posix::RegistryBytesToString(value.data);
}

}  // namespace

// A 32-bit process on 64-bit Windows sees HKLM\Software\Wow6432Node unless it
// asks for the 64-bit view; on a 32-bit machine there is one view.
TEST(MemoryRegistry, SoftwareIsRedirectedForThirtyTwoBitReads) {
  MemoryRegistry machine64(true);
  machine64.SetString(RegistryRoot::LocalMachine, L"Software\\Vendor", L"v", L"64", RegistryView::Force64);
  machine64.SetString(RegistryRoot::LocalMachine, L"Software\\Vendor", L"v", L"32", RegistryView::Force32);
  EXPECT_EQ(ReadString(machine64, RegistryView::Force64, L"SOFTWARE\\vendor"), L"64");
  EXPECT_EQ(ReadString(machine64, RegistryView::Force32, L"SOFTWARE\\vendor"), L"32");
  EXPECT_EQ(ReadString(machine64, RegistryView::Default, L"SOFTWARE\\vendor"), L"32");
  EXPECT_EQ(ReadString(machine64, RegistryView::Force64, L"SOFTWARE\\Wow6432Node\\vendor"), L"32");

  MemoryRegistry machine32(false);
  machine32.SetString(RegistryRoot::LocalMachine, L"Software\\Vendor", L"v", L"only");
  for (auto view : {RegistryView::Default, RegistryView::Force32, RegistryView::Force64})
    EXPECT_EQ(ReadString(machine32, view, L"Software\\Vendor"), L"only");
  EXPECT_EQ(ReadString(machine32, RegistryView::Default, L"Software\\Wow6432Node\\Vendor"), L"<no key>");
}

TEST(MemoryRegistry, QueriesFollowTheWin32BufferContract) {
  MemoryRegistry registry;
  registry.SetString(RegistryRoot::LocalMachine, L"Software\\A", L"Name", L"abc\u00E9");
  std::unique_ptr<RegistryKey> key;
  ASSERT_EQ(registry.OpenKey(RegistryRoot::LocalMachine, L"software\\a", RegistryView::Force64, key), kErrorSuccess);
  RegistryValue value;
  EXPECT_EQ(key->QueryValue(L"NAME", 0, value), kErrorSuccess);  // type only
  EXPECT_EQ(value.type, kRegSz);
  EXPECT_TRUE(value.data.empty());
  EXPECT_EQ(key->QueryValue(L"name", 9, value), kErrorMoreData);  // 10 bytes needed
  EXPECT_EQ(key->QueryValue(L"name", 10, value), kErrorSuccess);
  EXPECT_EQ(value.data.size(), 10u);
  EXPECT_EQ(key->QueryValueNarrow("name", 64, value), kErrorSuccess);
  EXPECT_EQ(std::string(value.data.begin(), value.data.end()), std::string("abc\xC3\xA9\0", 6));
  EXPECT_EQ(key->QueryValue(L"other", 64, value), kErrorFileNotFound);
  EXPECT_EQ(registry.OpenKey(RegistryRoot::LocalMachine, L"Software\\B", RegistryView::Force64, key),
            kErrorFileNotFound);
}

// Opening below an open HKLM\Software key follows WOW64 redirection as an
// open from the root does; below a deeper key nothing is redirected.
TEST(MemoryRegistry, OpenSubKeyFollowsRedirectionBelowSoftware) {
  MemoryRegistry registry(true);
  registry.SetString(RegistryRoot::LocalMachine, L"Software\\Vendor\\App", L"v", L"64", RegistryView::Force64);
  registry.SetString(RegistryRoot::LocalMachine, L"Software\\Vendor\\App", L"v", L"32", RegistryView::Force32);
  const auto read = [](RegistryKey& key) {
    RegistryValue value;
    return key.QueryValue(L"v", 64, value) == kErrorSuccess ? posix::RegistryBytesToString(value.data) : L"<none>";
  };
  std::unique_ptr<RegistryKey> software, vendor, app;
  ASSERT_EQ(registry.OpenKey(RegistryRoot::LocalMachine, L"Software", RegistryView::Force64, software), kErrorSuccess);
  ASSERT_EQ(software->OpenSubKey(L"Vendor\\App", RegistryView::Force64, app), kErrorSuccess);
  EXPECT_EQ(read(*app), L"64");
  ASSERT_EQ(software->OpenSubKey(L"Vendor\\App", RegistryView::Default, app), kErrorSuccess);
  EXPECT_EQ(read(*app), L"32");
  ASSERT_EQ(software->OpenSubKey(L"Vendor", RegistryView::Force64, vendor), kErrorSuccess);
  ASSERT_EQ(vendor->OpenSubKey(L"App", RegistryView::Default, app), kErrorSuccess);
  EXPECT_EQ(read(*app), L"64");
  EXPECT_EQ(vendor->OpenSubKey(L"Other", RegistryView::Default, app), kErrorFileNotFound);
}

// RegGetValueW: type restrictions, size queries, terminated strings and
// expanded REG_EXPAND_SZ data.
TEST(MemoryRegistry, GetValueAppliesTypeFlagsAndSizes) {
  MemoryRegistry registry;
  registry.SetString(RegistryRoot::CurrentUser, L"Software\\A", L"text", L"abc");
  registry.SetDword(RegistryRoot::CurrentUser, L"Software\\A", L"number", 7);
  registry.SetValue(RegistryRoot::CurrentUser, L"Software\\A", L"unterminated", {kRegSz, {'h', 0, 'i', 0}});
  ::setenv("BRIMVALE_TEST_VARIABLE", "xyz", 1);
  registry.SetValue(RegistryRoot::CurrentUser, L"Software\\A", L"expand",
                    {kRegExpandSz, posix::RegistryStringBytes(L"%BRIMVALE_TEST_VARIABLE%\\%UNSET_VARIABLE_Q%")});
  std::unique_ptr<RegistryKey> root;
  ASSERT_EQ(registry.OpenKey(RegistryRoot::CurrentUser, L"", RegistryView::Default, root), kErrorSuccess);
  RegistryValue value;
  std::uint32_t size = 0;
  EXPECT_EQ(root->GetValue(L"Software\\A", L"text", kRrfRtRegSz, 0, value, size), kErrorSuccess);
  EXPECT_EQ(size, 8u);
  EXPECT_EQ(root->GetValue(L"Software\\A", L"text", kRrfRtRegSz, 7, value, size), kErrorMoreData);
  EXPECT_EQ(root->GetValue(L"Software\\A", L"text", kRrfRtRegDword, 64, value, size), kErrorUnsupportedType);
  EXPECT_EQ(root->GetValue(L"Software\\A", L"number", kRrfRtRegDword, 4, value, size), kErrorSuccess);
  EXPECT_EQ(value.data, (std::vector<std::uint8_t>{7, 0, 0, 0}));
  EXPECT_EQ(root->GetValue(L"Software\\A", L"number", kRrfRtAny, 0, value, size), kErrorSuccess);
  EXPECT_EQ(root->GetValue(L"Software\\A", L"missing", kRrfRtAny, 0, value, size), kErrorFileNotFound);
  EXPECT_EQ(root->GetValue(L"Software\\B", L"text", kRrfRtAny, 0, value, size), kErrorFileNotFound);
  EXPECT_EQ(root->GetValue(L"Software\\A", L"unterminated", kRrfRtRegSz, 64, value, size), kErrorSuccess);
  EXPECT_EQ(size, 6u);
  EXPECT_EQ(root->GetValue(L"Software\\A", L"expand", kRrfRtRegSz, 256, value, size), kErrorSuccess);
  EXPECT_EQ(value.type, kRegSz);
  EXPECT_EQ(posix::RegistryBytesToString(value.data), L"xyz\\%UNSET_VARIABLE_Q%");
  EXPECT_EQ(root->GetValue(L"Software\\A", L"expand", kRrfRtRegExpandSz | kRrfNoExpand, 256, value, size), kErrorSuccess);
  EXPECT_EQ(value.type, kRegExpandSz);
}

// RegQueryInfoKeyW and RegEnumKeyExW list the direct children with the
// names as written, also those whose names extend another child's (they
// sort between that child and the keys below it), and see keys added
// while the enumeration goes on.
TEST(MemoryRegistry, EnumeratesDirectChildren) {
  MemoryRegistry registry(false);
  registry.CreateKey(RegistryRoot::LocalMachine, L"Software\\Beta\\Deep");
  registry.CreateKey(RegistryRoot::LocalMachine, L"Software\\Beta1");
  registry.CreateKey(RegistryRoot::LocalMachine, L"Software\\Beta.x\\Deep");
  registry.CreateKey(RegistryRoot::LocalMachine, L"Software\\alpha");
  registry.CreateKey(RegistryRoot::LocalMachine, L"Software\\LongerName");
  std::unique_ptr<RegistryKey> software;
  ASSERT_EQ(registry.OpenKey(RegistryRoot::LocalMachine, L"Software", RegistryView::Default, software), kErrorSuccess);
  RegistryKeyInfo info;
  ASSERT_EQ(software->QueryInfo(info), kErrorSuccess);
  EXPECT_EQ(info.subKeyCount, 5u);
  EXPECT_EQ(info.maxSubKeyLength, 10u);
  std::vector<std::wstring> names;
  std::wstring name;
  for (std::uint32_t i = 0; software->EnumSubKey(i, 11, name) == kErrorSuccess; ++i) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::wstring>{L"alpha", L"Beta", L"Beta.x", L"Beta1", L"LongerName"}));
  EXPECT_EQ(software->EnumSubKey(4, 10, name), kErrorMoreData);
  EXPECT_EQ(software->EnumSubKey(5, 11, name), kErrorNoMoreItems);

  ASSERT_EQ(software->EnumSubKey(0, 11, name), kErrorSuccess);
  registry.CreateKey(RegistryRoot::LocalMachine, L"Software\\Aardvark");
  ASSERT_EQ(software->EnumSubKey(1, 11, name), kErrorSuccess);
  EXPECT_EQ(name, L"alpha");
}
