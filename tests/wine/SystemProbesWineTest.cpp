// The machine measurements of the offer rules against Wine: memory, the
// processor speed in the registry, free disk space, the process snapshot
// and App Paths registrations written by reg.exe in each root and view.
#include <windows.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>

#include "config/ConfigurationManager.h"
#include "packages/RegistryTables.h"
#include "packages/SystemProbes.h"
#include "tests/wine/WineTestEnvironment.h"
#include "util/Lowercase.h"
#include "util/Utf8.h"

namespace {

const std::wstring kAppPaths = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

class SystemProbesOnWine : public testing::Test {
 protected:
  ~SystemProbesOnWine() override { ::RemoveDirectoryW(configuration->workFolder.c_str()); }

  std::shared_ptr<ConfigurationManager> configuration =
      std::make_shared<ConfigurationManager>(platform::CreateSystemServices());
  RegistryLookup lookup{configuration->Services().registry, configuration->Services().system};
  SystemProbes probes{configuration, lookup};
};

// reg.exe add, in the view that /reg:32 or /reg:64 names.
void RegAdd(const std::wstring& key, const std::wstring& valueOption, const std::wstring& data, int view) {
  const std::wstring command = L"reg.exe add \"" + key + L"\" " + valueOption + L" /d \"" + data + L"\" /f /reg:" +
                               std::to_wstring(view);
  ASSERT_EQ(winetest::RunAndWait(command), 0) << WideToUtf8(command);
}

}  // namespace

TEST_F(SystemProbesOnWine, MemoryIsGlobalMemoryStatusEx) {
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof status;
  ASSERT_TRUE(::GlobalMemoryStatusEx(&status));
  const auto memory = probes.TotalPhysicalMemoryMiB();
  ASSERT_TRUE(memory.ok);
  EXPECT_EQ(memory.mib, status.ullTotalPhys >> 20);
  EXPECT_GT(memory.mib, 0u);
}

TEST_F(SystemProbesOnWine, ProcessorSpeedIsTheMhzValue) {
  DWORD mhz = 0;
  DWORD size = sizeof mhz;
  ASSERT_EQ(::RegGetValueW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", L"~MHz",
                           RRF_RT_REG_DWORD, nullptr, &mhz, &size),
            ERROR_SUCCESS);
  const auto cpu = probes.ProcessorSpeedMHz();
  ASSERT_EQ(cpu.status, CpuProbeStatus::Ok);
  EXPECT_EQ(cpu.mhz, mhz);
}

TEST_F(SystemProbesOnWine, DiskIsMeasuredOnTheDesktopDrive) {
  wchar_t* desktop = nullptr;
  ASSERT_EQ(::SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &desktop), S_OK);
  const std::wstring root = std::wstring(desktop).substr(0, 3);
  ::CoTaskMemFree(desktop);
  ULARGE_INTEGER available = {};
  ASSERT_TRUE(::GetDiskFreeSpaceExW(root.c_str(), &available, nullptr, nullptr));
  const auto disk = probes.FreeDiskSpaceMiB();
  ASSERT_TRUE(disk.ok);
  // Other programs write meanwhile: the two figures are close, not equal.
  EXPECT_NEAR(static_cast<double>(disk.mib), static_cast<double>(available.QuadPart >> 20), 256.0);
}

// A process started for the test appears in the snapshot, in lower case.
TEST_F(SystemProbesOnWine, SnapshotListsAStartedProcessInLowerCase) {
  const char* installer = std::getenv("BRIMVALE_TEST_INSTALLER");
  ASSERT_NE(installer, nullptr);
  winetest::ScratchFolder scratch;
  const std::wstring program = scratch.Path() + L"\\BrimvaleProbe.EXE";
  const std::wstring gate = scratch.Path() + L"\\gate";
  ASSERT_TRUE(::CopyFileW(winetest::FromUnixPath(installer).c_str(), program.c_str(), FALSE));
  ::SetEnvironmentVariableW(L"BRIMVALE_TEST_INSTALLER_GATE", gate.c_str());
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::wstring commandLine = L"\"" + program + L"\"";
  ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process));
  ::SetEnvironmentVariableW(L"BRIMVALE_TEST_INSTALLER_GATE", nullptr);

  const auto names = probes.RunningProcessNames();
  EXPECT_NE(std::find(names.begin(), names.end(), L"brimvaleprobe.exe"), names.end());
  for (const auto& name : names) EXPECT_EQ(name, ToLowerWide(name));

  ::CloseHandle(::CreateFileW(gate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
  EXPECT_EQ(::WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
}

// Registrations in HKLM's 64-bit and 32-bit views and in HKCU are all
// found; each entry remembers the view it was found in.
TEST_F(SystemProbesOnWine, AppPathsInEveryRootAndView) {
  winetest::ScratchFolder scratch;
  const std::wstring exe = scratch.Path() + L"\\tool.exe";
  ::CloseHandle(::CreateFileW(exe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
  RegAdd(L"HKLM\\" + kAppPaths + L"BrimvaleTest64.exe", L"/ve", exe, 64);
  RegAdd(L"HKLM\\" + kAppPaths + L"BrimvaleTest32.exe", L"/ve", exe, 32);
  RegAdd(L"HKCU\\" + kAppPaths + L"BrimvaleTestUser.exe", L"/ve", scratch.Path(), 64);
  RegAdd(L"HKLM\\" + kAppPaths + L"BrimvaleTestGone.exe", L"/ve", scratch.Path() + L"\\gone.exe", 64);

  EXPECT_TRUE(probes.IsAppInstalled(L"brimvaletest64.exe"));
  EXPECT_TRUE(probes.IsAppInstalled(L"brimvaletest32.exe"));
  EXPECT_TRUE(probes.IsAppInstalled(L"brimvaletestuser.exe"));
  EXPECT_FALSE(probes.IsAppInstalled(L"brimvaletestgone.exe"));
  EXPECT_FALSE(probes.IsAppInstalled(L"BrimvaleTest64.exe"));

  // Each registration has an entry for the view it was written in. (Wine
  // shares App Paths between the views, so the other view may list it too.)
  const auto foundIn = [&](const std::wstring& name, std::uint32_t view) {
    auto [first, last] = probes.AppPaths().equal_range(name);
    return std::any_of(first, last, [&](const auto& entry) { return entry.second.view == view; });
  };
  const bool is64 = winetest::ExpectSixtyFourBit();
  EXPECT_TRUE(foundIn(L"brimvaletest64.exe", is64 ? kKeyWow64_64Key : 0));
  EXPECT_TRUE(foundIn(L"brimvaletest32.exe", 0));
  EXPECT_TRUE(foundIn(L"brimvaletestuser.exe", 0));
  // 32-bit Windows has one view only.
  if (!is64) {
    for (const auto& [name, entry] : probes.AppPaths()) EXPECT_EQ(entry.view, 0u) << WideToUtf8(name);
  }

  for (const auto* name : {L"BrimvaleTest64.exe", L"BrimvaleTest32.exe", L"BrimvaleTestGone.exe"}) {
    for (int view : {32, 64})
      winetest::RunAndWait(L"reg.exe delete \"HKLM\\" + kAppPaths + name + L"\" /f /reg:" + std::to_wstring(view));
  }
  winetest::RunAndWait(L"reg.exe delete \"HKCU\\" + kAppPaths + L"BrimvaleTestUser.exe\" /f");
}

// A BLBeacon "Path" naming an existing folder counts as an installed Chrome.
TEST_F(SystemProbesOnWine, ChromeFoundThroughBLBeacon) {
  const std::wstring beacon = L"HKCU\\Software\\Google\\Chrome\\BLBeacon";
  winetest::RunAndWait(L"reg.exe delete \"" + beacon + L"\" /f");
  EXPECT_FALSE(probes.IsChromeInstalled());
  winetest::ScratchFolder scratch;
  RegAdd(beacon, L"/v Path", scratch.Path(), 64);
  EXPECT_TRUE(probes.IsChromeInstalled());
  const auto candidates = FindChromeExecutables(*configuration, lookup);
  ASSERT_EQ(candidates.size(), 4u);
  EXPECT_EQ(candidates[3], scratch.Path());
  winetest::RunAndWait(L"reg.exe delete \"HKCU\\Software\\Google\" /f");
}
