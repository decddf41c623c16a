#include "tests/fakes/TestServices.h"

#include "config/ConfigurationManager.h"

#include <unistd.h>

#include <atomic>
#include <ctime>

namespace fakes {

ScratchFolder::ScratchFolder() {
  static std::atomic<int> counter{0};
  path = std::filesystem::temp_directory_path() /
         ("brimvale-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(path);
  std::filesystem::create_directories(path);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

std::optional<std::wstring> FakeKnownFolders::Path(platform::KnownFolder folder) {
  if (auto found = folders.find(folder); found != folders.end()) return found->second;
  return std::nullopt;
}

std::optional<std::wstring> FakeEnvironment::Variable(const std::wstring& name) {
  if (auto found = variables.find(name); found != variables.end()) return found->second;
  return std::nullopt;
}

std::int64_t FakeClock::UnixTimeNow() {
  std::lock_guard lock(mutex);
  return now;
}

bool FakeClock::ToLocalTime(std::int64_t unixTime, std::tm& local) {
  if (localTimeFails) return false;
  const std::time_t time = static_cast<std::time_t>(unixTime);
  return ::gmtime_r(&time, &local) != nullptr;  // tests read "local" time as UTC
}

void FakeClock::Sleep(std::uint32_t milliseconds) {
  std::lock_guard lock(mutex);
  sleeps.push_back(milliseconds);
}

std::vector<std::uint32_t> FakeClock::Sleeps() const {
  std::lock_guard lock(mutex);
  return sleeps;
}

void FakeClock::Advance(std::int64_t seconds) {
  std::lock_guard lock(mutex);
  now += seconds;
}

namespace {

platform::posix::PosixHttpSettings OfflineSettings() {
  // Port 9 (discard) is closed on test machines: connections fail at once.
  platform::posix::PosixHttpSettings settings;
  settings.connectTo = {"::127.0.0.1:9"};
  settings.noProxy = "*";
  return settings;
}

}  // namespace

std::shared_ptr<platform::Http> OfflineHttp() {
  return std::make_shared<platform::posix::PosixHttp>(OfflineSettings());
}

std::shared_ptr<platform::Internet> OfflineInternet() {
  return std::make_shared<platform::posix::PosixInternet>(OfflineSettings());
}

namespace {

class LimitedOutputFile : public platform::OutputFile {
 public:
  LimitedOutputFile(std::unique_ptr<platform::OutputFile> file, std::shared_ptr<std::atomic<std::int64_t>> space)
      : file(std::move(file)), space(std::move(space)) {}
  platform::Win32Error Write(const void* data, std::size_t size) override {
    const auto bytes = static_cast<std::int64_t>(size);
    if (space->fetch_sub(bytes) < bytes) {
      space->fetch_add(bytes);
      return platform::kErrorDiskFull;
    }
    return file->Write(data, size);
  }

 private:
  std::unique_ptr<platform::OutputFile> file;
  std::shared_ptr<std::atomic<std::int64_t>> space;
};

}  // namespace

platform::Win32Error TempFolderFileSystem::OpenForWriting(const std::wstring& path,
                                                          std::unique_ptr<platform::OutputFile>& file) {
  const platform::Win32Error error = PosixFileSystem::OpenForWriting(path, file);
  if (error == platform::kErrorSuccess && diskSpace)
    file = std::make_unique<LimitedOutputFile>(std::move(file), diskSpace);
  return error;
}

TestServices::TestServices() : files(std::make_shared<TempFolderFileSystem>(scratch.Wide() + L"/")) {}

platform::Services TestServices::Bundle() const {
  return platform::Services{
      .files = files,
      .knownFolders = knownFolders,
      .environment = environment,
      .system = system,
      .registry = registry,
      .clock = clock,
      .messageBoxes = messageBoxes,
      .resources = resources,
      .localeInfo = localeInfo,
      .processes = processes,
      .archives = archives,
      .machine = machine,
      .http = http,
      .internet = internet,
      .shell = shell,
      .debugOutput = debugOutput,
      .mutexes = mutexes,
  };
}

std::shared_ptr<ConfigurationManager> TestServices::Configuration(std::shared_ptr<platform::Registry> otherRegistry,
                                                                  std::shared_ptr<platform::Http> otherHttp) const {
  auto services = Bundle();
  services.registry = std::move(otherRegistry);
  services.http = std::move(otherHttp);
  auto configuration = std::make_shared<ConfigurationManager>(services, BuiltInSettings{.wizardKey = "DLM"});
  configuration->machineId = "MID";
  configuration->sessionTimestamp = "20240102030405";
  return configuration;
}

}  // namespace fakes
