// Fakes of the OS seam for native tests: a machine whose folders,
// environment, Windows version, registry and clock a test sets, and a real
// file system rooted in a scratch folder of the test's own.
#pragma once

#include <atomic>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Services.h"
#include "platform/posix/EmbeddedResources.h"
#include "platform/posix/IcuLocaleInfo.h"
#include "platform/posix/LibzipArchiveExtractor.h"
#include "platform/posix/MemoryNamedMutexes.h"
#include "platform/posix/MemoryRegistry.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixHttp.h"
#include "platform/posix/PosixInternet.h"
#include "platform/posix/PosixProcessLauncher.h"
#include "platform/posix/RecordingDebugOutput.h"
#include "platform/posix/RecordingMessageBoxes.h"
#include "platform/posix/RecordingShell.h"
#include "platform/posix/SimulatedSystemInfo.h"
#include "tests/fakes/SimulatedMachine.h"

class ConfigurationManager;

namespace fakes {

// A folder under the system's temporary folder, removed with its contents
// when the object goes away.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path; }
  std::wstring Wide() const { return path.wstring(); }

 private:
  std::filesystem::path path;
};

// The real posix file system whose temporary folder is a chosen folder, and
// whose disk can be made to fill up.
class TempFolderFileSystem : public platform::posix::PosixFileSystem {
 public:
  explicit TempFolderFileSystem(std::optional<std::wstring> tempFolder) : tempFolder(std::move(tempFolder)) {}
  std::optional<std::wstring> TempFolder() override { return tempFolder; }
  // Files opened for writing share `diskSpace` when it is set: a write
  // that does not fit writes nothing and fails with kErrorDiskFull.
  platform::Win32Error OpenForWriting(const std::wstring& path,
                                      std::unique_ptr<platform::OutputFile>& file) override;

  std::optional<std::wstring> tempFolder;
  std::shared_ptr<std::atomic<std::int64_t>> diskSpace;  // bytes still free; null: unlimited
};

class FakeKnownFolders : public platform::KnownFolders {
 public:
  std::optional<std::wstring> Path(platform::KnownFolder folder) override;
  std::map<platform::KnownFolder, std::wstring> folders;  // a folder not listed fails
};

class FakeEnvironment : public platform::Environment {
 public:
  std::optional<std::wstring> Variable(const std::wstring& name) override;
  std::wstring ExecutablePath() override { return executablePath; }
  std::optional<platform::FileVersion> OwnFileVersion() override { return fileVersion; }

  std::map<std::wstring, std::wstring> variables;
  std::wstring executablePath = L"C:\\Users\\user\\Downloads\\BrimvaleSetup.exe";
  std::optional<platform::FileVersion> fileVersion = platform::FileVersion{3, 0, 13, 11135};
};

// A clock that stands still until told otherwise; Sleep only records.
class FakeClock : public platform::Clock {
 public:
  std::int64_t UnixTimeNow() override;
  bool ToLocalTime(std::int64_t unixTime, std::tm& local) override;
  void Sleep(std::uint32_t milliseconds) override;

  std::vector<std::uint32_t> Sleeps() const;
  void Advance(std::int64_t seconds);

  std::int64_t now = 1'700'000'000;
  bool localTimeFails = false;

 private:
  mutable std::mutex mutex;
  std::vector<std::uint32_t> sleeps;
};

// The HTTP seam of a machine without network: every host name leads to a
// closed loopback port, so nothing leaves the machine.
std::shared_ptr<platform::Http> OfflineHttp();
std::shared_ptr<platform::Internet> OfflineInternet();

struct TestServices {
  TestServices();

  platform::Services Bundle() const;
  // The download-manager wizard's configuration over this machine with
  // another registry and HTTP seam; machine id and session are fixed, so
  // nothing reads them from the machine.
  std::shared_ptr<ConfigurationManager> Configuration(std::shared_ptr<platform::Registry> otherRegistry,
                                                      std::shared_ptr<platform::Http> otherHttp) const;

  ScratchFolder scratch;
  std::shared_ptr<TempFolderFileSystem> files;
  std::shared_ptr<FakeKnownFolders> knownFolders = std::make_shared<FakeKnownFolders>();
  std::shared_ptr<FakeEnvironment> environment = std::make_shared<FakeEnvironment>();
  std::shared_ptr<platform::posix::SimulatedSystemInfo> system =
      std::make_shared<platform::posix::SimulatedSystemInfo>();
  std::shared_ptr<platform::posix::MemoryRegistry> registry = std::make_shared<platform::posix::MemoryRegistry>();
  std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
  std::shared_ptr<platform::posix::RecordingMessageBoxes> messageBoxes =
      std::make_shared<platform::posix::RecordingMessageBoxes>();
  // The program's own embedded documents and images.
  std::shared_ptr<platform::posix::EmbeddedResources> resources =
      std::make_shared<platform::posix::EmbeddedResources>();
  // Real locale data; the user's locale follows the fake environment's
  // LC_ALL, LC_MESSAGES or LANG (none set: the call fails).
  std::shared_ptr<platform::posix::IcuLocaleInfo> localeInfo =
      std::make_shared<platform::posix::IcuLocaleInfo>(environment);
  std::shared_ptr<platform::ProcessLauncher> processes = std::make_shared<platform::posix::PosixProcessLauncher>();
  std::shared_ptr<platform::ArchiveExtractor> archives =
      std::make_shared<platform::posix::LibzipArchiveExtractor>();
  std::shared_ptr<SimulatedMachine> machine = std::make_shared<SimulatedMachine>();
  // An offline machine: every connection is refused. Tests that talk to the
  // reference server put its routed HTTP seam here.
  std::shared_ptr<platform::Http> http = OfflineHttp();
  std::shared_ptr<platform::Internet> internet = OfflineInternet();
  std::shared_ptr<platform::posix::RecordingShell> shell = std::make_shared<platform::posix::RecordingShell>();
  std::shared_ptr<platform::posix::RecordingDebugOutput> debugOutput =
      std::make_shared<platform::posix::RecordingDebugOutput>();
  std::shared_ptr<platform::posix::MemoryNamedMutexes> mutexes =
      std::make_shared<platform::posix::MemoryNamedMutexes>();
};

}  // namespace fakes
