#include "install/RunProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/posix/PosixProcessLauncher.h"
#include "tests/fakes/TestServices.h"

namespace fs = std::filesystem;

namespace {

// Records the command line and answers as told.
class FakeLauncher : public platform::ProcessLauncher {
 public:
  platform::Win32Error Launch(const std::wstring& line, bool wait, std::uint32_t& exitCode) override {
    commandLine = line;
    if (error == platform::kErrorSuccess && wait) exitCode = code;
    return error;
  }
  std::wstring commandLine;
  platform::Win32Error error = platform::kErrorSuccess;
  std::uint32_t code = 0;
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool WaitUntilExists(const fs::path& path) {
  for (int i = 0; i < 1200 && !fs::exists(path); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  return fs::exists(path);
}

}  // namespace

// The command line is a quoted path, one blank and the arguments as they are.
TEST(RunProcess, ComposesTheCommandLine) {
  FakeLauncher launcher;
  RunProcess(launcher, L"C:\\Program Files\\setup.exe", L"/S /D=C:\\x", true);
  EXPECT_EQ(launcher.commandLine, L"\"C:\\Program Files\\setup.exe\" /S /D=C:\\x");
  RunProcess(launcher, L"C:\\setup.exe", L"", true);
  EXPECT_EQ(launcher.commandLine, L"\"C:\\setup.exe\" ");
}

// Exit code and message for each way a run can end.
TEST(RunProcess, ReportsEachOutcome) {
  const struct {
    platform::Win32Error error;
    std::uint32_t code;
    bool wait;
    RunResult expected;
  } cases[] = {
      {0, 0, true, {0, L""}},
      {0, 1603, true, {1603, L"exit code = 1603"}},
      {0, 0, false, {0xFFFFFFFF, L"exit code = 4294967295"}},
      {2, 0, true, {0xFFFFFFFF, L"Error launching executable: The system cannot find the file specified.\r\n"}},
      {193, 0, false, {0xFFFFFFFF, L"Error launching executable: %1 is not a valid Win32 application.\r\n"}},
  };
  for (const auto& c : cases) {
    FakeLauncher launcher;
    launcher.error = c.error;
    launcher.code = c.code;
    EXPECT_EQ(RunProcess(launcher, L"C:\\setup.exe", L"", c.wait), c.expected) << c.error << " " << c.code;
  }
}

class RealProcessTest : public testing::Test {
 protected:
  void SetUp() override {
    // A folder with a blank, so the quoting matters.
    folder = scratch.Path() / "Program Files";
    fs::create_directories(folder);
    program = folder / "setup.exe";
    fs::copy_file(BRIMVALE_TEST_INSTALLER, program);
    ::setenv("BRIMVALE_TEST_INSTALLER_OUT", scratch.Path().c_str(), 1);
  }
  void TearDown() override {
    ::unsetenv("BRIMVALE_TEST_INSTALLER_OUT");
    ::unsetenv("BRIMVALE_TEST_INSTALLER_EXIT");
    ::unsetenv("BRIMVALE_TEST_INSTALLER_GATE");
  }
  std::wstring Program() const { return program.wstring(); }

  fakes::ScratchFolder scratch;
  fs::path folder;
  fs::path program;
  platform::posix::PosixProcessLauncher launcher;
};

// A waited installer receives its arguments and its exit code comes back.
TEST_F(RealProcessTest, WaitsForTheInstallerAndTakesItsExitCode) {
  ::setenv("BRIMVALE_TEST_INSTALLER_EXIT", "0", 1);
  EXPECT_EQ(RunProcess(launcher, Program(), L"/S \"/D=C:\\My Apps\"", true), (RunResult{0, L""}));
  EXPECT_EQ(ReadAll(scratch.Path() / "setup.exe.run"), "\"" + program.string() + "\" /S /D=C:\\My Apps\n");

  ::setenv("BRIMVALE_TEST_INSTALLER_EXIT", "3", 1);
  EXPECT_EQ(RunProcess(launcher, Program(), L"", true), (RunResult{3, L"exit code = 3"}));
  EXPECT_EQ(RunProcess(launcher, Program(), L"/exit=42", true), (RunResult{42, L"exit code = 42"}));
}

// An installer not waited for is left running; the run returns at once.
TEST_F(RealProcessTest, ReturnsAtOnceWhenNotWaiting) {
  const fs::path gate = scratch.Path() / "gate";
  ::setenv("BRIMVALE_TEST_INSTALLER_GATE", gate.c_str(), 1);
  EXPECT_EQ(RunProcess(launcher, Program(), L"/offer", false), (RunResult{0xFFFFFFFF, L"exit code = 4294967295"}));
  EXPECT_FALSE(fs::exists(scratch.Path() / "setup.exe.run"));  // still waiting at its gate
  std::ofstream(gate) << "open";
  ASSERT_TRUE(WaitUntilExists(scratch.Path() / "setup.exe.run"));
  EXPECT_EQ(ReadAll(scratch.Path() / "setup.exe.run"), "\"" + program.string() + "\" /offer\n");
}

// A missing file or one that is no program does not start.
TEST_F(RealProcessTest, ReportsProgramsThatCannotStart) {
  EXPECT_EQ(RunProcess(launcher, (folder / "missing.exe").wstring(), L"", true),
            (RunResult{0xFFFFFFFF, L"Error launching executable: The system cannot find the file specified.\r\n"}));
  std::ofstream(folder / "setup.7z", std::ios::binary) << std::string("7z\xBC\xAF\x27\x1C", 6);
  const RunResult archive = RunProcess(launcher, (folder / "setup.7z").wstring(), L"", true);
  EXPECT_EQ(archive.first, 0xFFFFFFFFu);
  EXPECT_TRUE(archive.second.starts_with(L"Error launching executable: ")) << archive.second.size();
}
