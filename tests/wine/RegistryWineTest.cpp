// The registry layer against Wine's real registry: the rule cases of the
// native tests, on keys that Wine's reg.exe imports from the same .reg file
// into the 64-bit and the 32-bit view (or the only view of a 32-bit prefix).
#include <windows.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "packages/RegistryLookup.h"
#include "platform/WindowsVersion.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SystemInfo.h"
#include "tests/common/RegistryRuleCases.h"
#include "tests/wine/WineTestEnvironment.h"
#include "util/Utf16.h"
#include "util/Utf8.h"

namespace {

const wchar_t* const kFixtureKeys[] = {
    L"HKLM\\Software\\BrimvaleTest64",     L"HKLM\\Software\\Wow6432Node\\BrimvaleTest32",
    L"HKCU\\Software\\BrimvaleTestUser",   L"HKCU\\Software\\hkxx",
    L"HKCR\\BrimvaleTest.file",
};

std::wstring TempPath(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + name;
}

class RegistryOnWine : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (const auto* key : kFixtureKeys) winetest::RunAndWait(L"reg.exe delete \"" + std::wstring(key) + L"\" /f /reg:64");
    // reg.exe reads a version 5 file's hex strings as UTF-16 only from a
    // UTF-16 file, which is how regedit writes them.
    std::ifstream in(BRIMVALE_TEST_DATA "/registry/views.reg", std::ios::binary);
    ASSERT_TRUE(in) << "cannot read views.reg";
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const auto bytes = WideToUtf16Le(Utf8ToWide(text));
    const std::wstring unicodeFile = TempPath(L"brimvale-views.reg");
    std::ofstream out(unicodeFile.c_str(), std::ios::binary);
    out.write("\xFF\xFE", 2);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    ASSERT_EQ(winetest::RunAndWait(L"reg.exe import \"" + unicodeFile + L"\" /reg:64"), 0);
    ::DeleteFileW(unicodeFile.c_str());
  }

  std::shared_ptr<platform::SystemInfo> system = std::make_shared<platform::win32::Win32SystemInfo>();
  RegistryLookup lookup{std::make_shared<platform::win32::Win32Registry>(), system};
  bool is64 = winetest::ExpectSixtyFourBit();
};

std::string Describe(const std::vector<std::wstring>& entries) {
  std::string text;
  for (const auto& entry : entries) text += " [" + WideToUtf8(entry) + "]";
  return text;
}

}  // namespace

// A rule path is found through the view the rules name and not through the
// other, as in the native tests.
TEST_F(RegistryOnWine, RuleListsAnswerPerView) {
  ASSERT_EQ(Is64BitWindows(*system), is64);
  for (const auto& c : registrycases::kKeyCases)
    EXPECT_EQ(lookup.AnyKeyExists(c.entries), is64 ? c.on64 : c.on32) << Describe(c.entries);
  for (const auto& c : registrycases::kValueCases)
    EXPECT_EQ(lookup.AnyValueExists(c.entries), is64 ? c.on64 : c.on32) << Describe(c.entries);
  for (const auto& c : registrycases::kDataCases)
    EXPECT_EQ(lookup.AnyValueDataMatches(c.entries), is64 ? c.on64 : c.on32) << Describe(c.entries);
  EXPECT_THROW(lookup.AnyValueDataMatches({L"brimvaletest64\\build\\abc"}), std::invalid_argument);
}

TEST_F(RegistryOnWine, ReadRegistryValueAsTextPerView) {
  for (const auto& c : registrycases::kTextCases) {
    std::wstring out = L"<untouched>";
    const wchar_t* expected = is64 ? c.on64 : c.on32;
    EXPECT_EQ(lookup.ReadRegistryValueAsText(c.root, c.keyPath, c.valueName, out), expected != nullptr)
        << Describe({c.keyPath, c.valueName});
    EXPECT_EQ(out, expected ? expected : L"<untouched>") << Describe({c.keyPath, c.valueName});
  }
}
