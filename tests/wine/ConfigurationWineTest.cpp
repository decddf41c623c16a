// The configuration against Wine's real registry, shell folders, temporary
// files, version answers and version resource.
#include <windows.h>
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <regex>

#include "config/ConfigurationManager.h"
#include "platform/WindowsVersion.h"
#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SystemInfo.h"
#include "tests/wine/WineTestEnvironment.h"
#include "util/Utf8.h"

namespace {

const wchar_t* kCryptographyKey = L"SOFTWARE\\Microsoft\\Cryptography";

std::wstring ReadMachineGuidDirectly(REGSAM view) {
  wchar_t buffer[256] = {};
  DWORD size = sizeof buffer;
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, kCryptographyKey, L"MachineGuid", RRF_RT_REG_SZ | view, nullptr, buffer,
                     &size) != ERROR_SUCCESS)
    return L"";
  return buffer;
}

void WriteMachineGuid(REGSAM view, const wchar_t* value) {
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kCryptographyKey, 0, nullptr, 0, KEY_WRITE | view, nullptr, &key,
                              nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(::RegSetValueExW(key, L"MachineGuid", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                             static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
  ::RegCloseKey(key);
}

ConfigurationManager MakeConfiguration() { return ConfigurationManager(platform::CreateSystemServices()); }

std::wstring WithoutTrailingSeparator(std::wstring path) {
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  return path;
}

}  // namespace

TEST(ConfigurationOnWine, ProcessArchitectureIsThePrefixes) {
  platform::win32::Win32SystemInfo system;
  EXPECT_EQ(Is64BitWindows(system), winetest::ExpectSixtyFourBit());
}

// The machine GUID is read through the 64-bit view: on a 64-bit prefix a
// value planted in the 32-bit view must not be what comes back.
TEST(ConfigurationOnWine, MachineGuidComesFromTheSixtyFourBitView) {
  const std::wstring original = ReadMachineGuidDirectly(KEY_WOW64_64KEY);
  WriteMachineGuid(KEY_WOW64_64KEY, L"11111111-2222-3333-4444-555555555555");
  if (winetest::ExpectSixtyFourBit()) WriteMachineGuid(KEY_WOW64_32KEY, L"decoy-in-the-32-bit-view");

  platform::win32::Win32Registry registry;
  EXPECT_EQ(ReadMachineGuid(registry), "11111111-2222-3333-4444-555555555555");

  if (!original.empty()) WriteMachineGuid(KEY_WOW64_64KEY, original.c_str());
  if (winetest::ExpectSixtyFourBit()) {
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Wow6432Node\\Microsoft\\Cryptography", L"MachineGuid");
  }
}

TEST(ConfigurationOnWine, FolderTokensMatchTheShellFolders) {
  ASSERT_TRUE(::SetEnvironmentVariableW(L"ProgramW6432", L"C:\\Program Files"));
  auto config = MakeConfiguration();
  const auto tokens = config.GetFolderTokens();
  const auto token = [&](const wchar_t* name) {
    const std::wstring* value = tokens.Find(name);
    return value ? *value : L"<missing>";
  };
  EXPECT_EQ(token(L"localappdata"), winetest::Variable(L"LOCALAPPDATA"));
  EXPECT_EQ(token(L"commonappdata"), winetest::Variable(L"APPDATA"));
  EXPECT_EQ(token(L"programdata"), winetest::Variable(L"ProgramData"));
  if (winetest::ExpectSixtyFourBit()) {
    EXPECT_EQ(token(L"commonpf"), L"{commonpf64}");
    EXPECT_EQ(token(L"commonpf32"), winetest::Variable(L"ProgramFiles(x86)"));
    EXPECT_EQ(token(L"commonpf64"), L"C:\\Program Files");
    EXPECT_EQ(config.ExpandFolderTokens(L"{commonpf}\\App\\app.exe"), L"C:\\Program Files\\App\\app.exe");
  } else {
    EXPECT_EQ(token(L"commonpf"), L"{commonpf32}");
    EXPECT_EQ(token(L"commonpf32"), winetest::Variable(L"ProgramFiles"));
    EXPECT_EQ(token(L"commonpf64"), L"<missing>");
    EXPECT_EQ(config.ExpandFolderTokens(L"{commonpf}\\App"), winetest::Variable(L"ProgramFiles") + L"\\App");
    EXPECT_EQ(config.ExpandFolderTokens(L"{commonpf64}\\App"), L"{commonpf64}\\App");
  }
}

// ProgramW6432 counts only when it is set, not empty and fits 260 characters.
TEST(ConfigurationOnWine, ProgramW6432OnlyWhenUsable) {
  if (!winetest::ExpectSixtyFourBit()) GTEST_SKIP() << "ProgramW6432 is read on 64-bit Windows only";
  const std::wstring original = winetest::Variable(L"ProgramW6432");
  struct Case {
    const wchar_t* value;  // null: not set
    bool entry;
  };
  const std::wstring tooLong = L"C:\\" + std::wstring(300, L'p');
  const Case cases[] = {{L"D:\\PF", true}, {L"", false}, {tooLong.c_str(), false}, {nullptr, false}};
  for (const auto& c : cases) {
    ::SetEnvironmentVariableW(L"ProgramW6432", c.value);
    auto config = MakeConfiguration();
    const std::wstring expanded = config.ExpandFolderTokens(L"{commonpf}\\x");
    EXPECT_EQ(expanded, c.entry ? std::wstring(c.value) + L"\\x" : L"{commonpf64}\\x");
  }
  ::SetEnvironmentVariableW(L"ProgramW6432", original.empty() ? nullptr : original.c_str());
}

TEST(ConfigurationOnWine, WorkFoldersAreFreshFoldersInTheTemporaryFolder) {
  platform::win32::Win32FileSystem files;
  const std::wstring first = CreateWorkFolder(files);
  const std::wstring second = CreateWorkFolder(files);
  EXPECT_NE(first, second);
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  for (const auto& folder : {first, second}) {
    EXPECT_TRUE(::PathIsDirectoryW(folder.c_str())) << WideToUtf8(folder);
    const auto slash = folder.rfind(L'\\');
    ASSERT_NE(slash, std::wstring::npos);
    EXPECT_EQ(WithoutTrailingSeparator(folder.substr(0, slash)), WithoutTrailingSeparator(temp));
    // Windows writes four hexadecimal digits; Wine drops leading zeros.
    EXPECT_TRUE(std::regex_match(WideToUtf8(folder.substr(slash + 1)),
                                 std::regex("ISV[0-9A-F]{1,4}\\.tmp", std::regex::icase)))
        << WideToUtf8(folder);
    ::RemoveDirectoryW(folder.c_str());
  }
}

TEST(ConfigurationOnWine, VersionAnswersFollowThePrefixSetting) {
  platform::win32::Win32SystemInfo system;
  const std::string os = GetOsVersionString(system);
  EXPECT_TRUE(IsWindowsVersionAtLeast(system, 6, 1, 0));
  if (winetest::ExpectedWindows() == "win10") {
    EXPECT_TRUE(os.starts_with("10.0.")) << os;
    EXPECT_TRUE(IsWindowsVersionAtLeast(system, 6, 1, 1));
    EXPECT_TRUE(IsWindowsVersionAtLeast(system, 10, 0, 0));
  } else if (winetest::ExpectedWindows() == "win7") {
    EXPECT_EQ(os, "6.1.7601");
    EXPECT_TRUE(IsWindowsVersionAtLeast(system, 6, 1, 1));  // Wine's Windows 7 has SP1
    EXPECT_FALSE(IsWindowsVersionAtLeast(system, 6, 1, 2));
    EXPECT_FALSE(IsWindowsVersionAtLeast(system, 10, 0, 0));
  } else {
    FAIL() << "BRIMVALE_EXPECT_WINDOWS not set by the runner";
  }
}

TEST(ConfigurationOnWine, ProgramVersionComesFromTheOwnVersionResource) {
  platform::win32::Win32Environment environment;
  const auto version = environment.OwnFileVersion();
  ASSERT_TRUE(version.has_value());
  EXPECT_EQ(*version, (platform::FileVersion{3, 0, 13, 11135}));
  EXPECT_EQ(MakeConfiguration().programVersion, L"3.0.13.11135");
}
