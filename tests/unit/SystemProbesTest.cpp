// The machine measurements of the offer rules on a simulated machine.
#include "packages/SystemProbes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "config/ConfigurationManager.h"
#include "packages/RegistryTables.h"
#include "platform/posix/RegFile.h"
#include "tests/fakes/TestServices.h"

using platform::KnownFolder;
using platform::RegistryRoot;
using platform::RegistryView;

namespace {

class SystemProbesTest : public testing::Test {
 protected:
  void SetUp() override { SetWindows(true); }

  // A fresh machine of the given kind, with the App Paths fixture loaded.
  void SetWindows(bool is64) {
    machine.registry = std::make_shared<platform::posix::MemoryRegistry>(is64);
    machine.system->Set({.wow64 = is64});
    platform::posix::ImportRegFile(*machine.registry, BRIMVALE_TEST_DATA "/registry/apppaths.reg");
    configuration = std::make_shared<ConfigurationManager>(machine.Bundle(), BuiltInSettings{.wizardKey = "DLM"});
    lookup = std::make_unique<RegistryLookup>(machine.registry, machine.system);
    probes = std::make_unique<SystemProbes>(configuration, *lookup);
  }

  // A file that exists, under a Windows-style name of the scratch folder.
  std::wstring ExistingFile(const std::string& name) {
    std::ofstream(machine.scratch.Path() / name) << "x";
    return machine.scratch.Wide() + L"\\" + std::wstring(name.begin(), name.end());
  }

  void RegisterApp(RegistryRoot root, const std::wstring& name, const std::wstring& path, RegistryView view) {
    machine.registry->SetString(root, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + name, L"", path,
                                view);
  }

  fakes::TestServices machine;
  std::shared_ptr<ConfigurationManager> configuration;
  std::unique_ptr<RegistryLookup> lookup;
  std::unique_ptr<SystemProbes> probes;
};

}  // namespace

// Memory in MiB rounded down, kept after the first success; a failure keeps
// nothing and reports its code.
TEST_F(SystemProbesTest, MemoryIsMeasuredOnceAfterSuccess) {
  machine.machine->memoryError = platform::kErrorAccessDenied;
  auto memory = probes->TotalPhysicalMemoryMiB();
  EXPECT_FALSE(memory.ok);
  EXPECT_EQ(memory.error, 5u);

  machine.machine->memoryError = platform::kErrorSuccess;
  machine.machine->totalMemoryBytes = (8ull << 30) - 1;
  memory = probes->TotalPhysicalMemoryMiB();
  EXPECT_TRUE(memory.ok);
  EXPECT_EQ(memory.mib, 8191u);
  machine.machine->totalMemoryBytes = 1ull << 30;
  EXPECT_EQ(probes->TotalPhysicalMemoryMiB().mib, 8191u);
  EXPECT_EQ(machine.machine->Measured().memory, 2);
}

// Free space is measured on the drive of the Desktop, which may differ
// from the Windows drive; kept after success, retried after failure.
TEST_F(SystemProbesTest, DiskIsMeasuredOnTheDesktopDrive) {
  machine.knownFolders->folders[KnownFolder::Desktop] = L"D:\\Users\\u\\Desktop";
  machine.machine->freeBytesByPath = {{L"C:\\", 1ull << 40}, {L"D:\\", (3ull << 20) + 5}};
  machine.machine->diskError = platform::kErrorPathNotFound;
  auto disk = probes->FreeDiskSpaceMiB();
  EXPECT_FALSE(disk.ok);
  EXPECT_EQ(disk.error, 3u);

  machine.machine->diskError = platform::kErrorSuccess;
  disk = probes->FreeDiskSpaceMiB();
  EXPECT_TRUE(disk.ok);
  EXPECT_EQ(disk.mib, 3u);
  probes->FreeDiskSpaceMiB();
  EXPECT_EQ(machine.machine->Measured().diskPaths, (std::vector<std::wstring>{L"D:\\", L"D:\\"}));
}

// The ~MHz value in the 64-bit view; a missing key or value is reported as
// such and tried again next time.
TEST_F(SystemProbesTest, ProcessorSpeedReportsWhichStepFailed) {
  const std::wstring key = L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
  EXPECT_EQ(probes->ProcessorSpeedMHz().status, CpuProbeStatus::KeyNotOpened);
  machine.registry->CreateKey(RegistryRoot::LocalMachine, key);
  EXPECT_EQ(probes->ProcessorSpeedMHz().status, CpuProbeStatus::ValueNotRead);
  machine.registry->SetValue(RegistryRoot::LocalMachine, key, L"~MHz", {platform::kRegBinary, {1, 2, 3, 4, 5}});
  EXPECT_EQ(probes->ProcessorSpeedMHz().status, CpuProbeStatus::ValueNotRead);  // more than 4 bytes
  machine.registry->SetDword(RegistryRoot::LocalMachine, key, L"~MHz", 2394);
  const auto cpu = probes->ProcessorSpeedMHz();
  EXPECT_EQ(cpu.status, CpuProbeStatus::Ok);
  EXPECT_EQ(cpu.mhz, 2394u);
  machine.registry->DeleteKey(RegistryRoot::LocalMachine, key);
  EXPECT_EQ(probes->ProcessorSpeedMHz().mhz, 2394u);
}

// Process names in lower case, taken once; an empty snapshot is taken again.
TEST_F(SystemProbesTest, ProcessNamesAreLowercasedAndKept) {
  EXPECT_TRUE(probes->RunningProcessNames().empty());
  machine.machine->processes = {L"System", L"Setup.EXE", L"explorer.exe"};
  EXPECT_EQ(probes->RunningProcessNames(), (std::vector<std::wstring>{L"system", L"setup.exe", L"explorer.exe"}));
  machine.machine->processes = {L"other.exe"};
  EXPECT_EQ(probes->RunningProcessNames().size(), 3u);
  EXPECT_EQ(machine.machine->Measured().processes, 2);
}

// An application counts as installed when an App Paths default value in
// either root or view names an existing file or folder; names are compared
// exactly with the lower-case index.
TEST_F(SystemProbesTest, AppsAreFoundThroughAppPathsInEveryRootAndView) {
  const std::wstring exe = ExistingFile("tool.exe");
  RegisterApp(RegistryRoot::LocalMachine, L"Only64.exe", exe, RegistryView::Force64);
  RegisterApp(RegistryRoot::LocalMachine, L"only32.exe", exe, RegistryView::Force32);
  RegisterApp(RegistryRoot::CurrentUser, L"user.exe", machine.scratch.Wide(), RegistryView::Default);  // a folder
  EXPECT_TRUE(probes->IsAppInstalled(L"only64.exe"));
  EXPECT_FALSE(probes->IsAppInstalled(L"Only64.exe"));
  EXPECT_TRUE(probes->IsAppInstalled(L"only32.exe"));
  EXPECT_TRUE(probes->IsAppInstalled(L"user.exe"));
  EXPECT_FALSE(probes->IsAppInstalled(L"missing.exe"));    // names a file that does not exist
  EXPECT_FALSE(probes->IsAppInstalled(L"number.exe"));     // default value is no string
  EXPECT_FALSE(probes->IsAppInstalled(L"nodefault.exe"));  // no default value
  EXPECT_FALSE(probes->IsAppInstalled(L"unknown.exe"));

  const auto entries = probes->AppPaths().equal_range(L"only64.exe");
  ASSERT_EQ(std::distance(entries.first, entries.second), 1);
  EXPECT_EQ(entries.first->second.view, kKeyWow64_64Key);
  EXPECT_EQ(entries.first->second.path, exe);

  // 32-bit Windows has one view.
  SetWindows(false);
  RegisterApp(RegistryRoot::LocalMachine, L"plain.exe", exe, RegistryView::Default);
  EXPECT_TRUE(probes->IsAppInstalled(L"plain.exe"));
  for (const auto& [name, entry] : probes->AppPaths()) EXPECT_EQ(entry.view, 0u);
}

// The index is built once it holds something; a later registration is not
// seen, an executable path is read once.
TEST_F(SystemProbesTest, AppPathsIndexIsBuiltOnce) {
  EXPECT_FALSE(probes->IsAppInstalled(L"late.exe"));
  RegisterApp(RegistryRoot::LocalMachine, L"late.exe", ExistingFile("late.exe"), RegistryView::Force64);
  EXPECT_FALSE(probes->IsAppInstalled(L"late.exe"));
}

// The Chrome candidates in order; Chrome counts as installed when any exists,
// a folder named by BLBeacon included.
TEST_F(SystemProbesTest, ChromeLocationsInOrder) {
  machine.environment->variables[L"ProgramW6432"] = L"C:\\Program Files";
  machine.knownFolders->folders[KnownFolder::LocalAppData] = L"C:\\Users\\u\\AppData\\Local";
  EXPECT_EQ(FindChromeExecutables(*configuration, *lookup),
            (std::vector<std::wstring>{L"C:\\Program Files\\Chromium\\Application\\chrome.exe",
                                       L"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe",
                                       L"C:\\Users\\u\\AppData\\Local\\Chromium\\Application\\chrome.exe",
                                       L"C:\\Chrome32\\Application\\chrome.exe", L"C:\\Users\\u\\Chrome"}));
  EXPECT_FALSE(probes->IsChromeInstalled());
  machine.registry->SetString(RegistryRoot::CurrentUser, L"Software\\Google\\Chrome\\BLBeacon", L"Path",
                              machine.scratch.Wide());
  EXPECT_TRUE(probes->IsChromeInstalled());
}

// The Linux backend reports the host's own facts.
TEST(LinuxMachine, MeasuresTheHost) {
  auto services = platform::CreateSystemServices();
  std::uint64_t bytes = 0;
  ASSERT_EQ(services.machine->TotalPhysicalMemory(bytes), platform::kErrorSuccess);
  EXPECT_GT(bytes, 64ull << 20);
  ASSERT_EQ(services.machine->FreeBytesAvailable(L"/", bytes), platform::kErrorSuccess);
  EXPECT_EQ(services.machine->FreeBytesAvailable(L"/no-such-folder/x", bytes), platform::kErrorSuccess);
  const auto processes = services.machine->RunningProcessNames();
  EXPECT_NE(std::find(processes.begin(), processes.end(), L"brimvale_unit_tests"), processes.end());
}
