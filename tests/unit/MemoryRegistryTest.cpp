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
