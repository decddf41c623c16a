// Installer runs through CreateProcessW and the archive steps around the
// shell's extraction, against Wine's real process and file calls. Wine's
// shell has no ZIP folder, so extraction itself is checked natively; here
// the extraction folders are prepared by the test.
#include <windows.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "install/ArchiveHandling.h"
#include "install/RunProcess.h"
#include "platform/SystemErrorText.h"
#include "platform/Services.h"
#include "tests/wine/WineTestEnvironment.h"

namespace {

std::string ReadAll(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::wstring& path, const std::string& content) {
  std::ofstream(path.c_str(), std::ios::binary) << content;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

class InstallerWineTest : public testing::Test {
 protected:
  void SetUp() override {
    const char* installer = std::getenv("BRIMVALE_TEST_INSTALLER");
    ASSERT_NE(installer, nullptr) << "BRIMVALE_TEST_INSTALLER names the stand-in installer";
    folder = scratch.Path() + L"\\Program Files";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    program = folder + L"\\setup.exe";
    ASSERT_TRUE(::CopyFileW(winetest::FromUnixPath(installer).c_str(), program.c_str(), FALSE));
    ::SetEnvironmentVariableW(L"BRIMVALE_TEST_INSTALLER_OUT", scratch.Path().c_str());
  }
  void TearDown() override {
    ::SetEnvironmentVariableW(L"BRIMVALE_TEST_INSTALLER_OUT", nullptr);
    ::SetEnvironmentVariableW(L"BRIMVALE_TEST_INSTALLER_GATE", nullptr);
  }
  std::wstring Record() const { return scratch.Path() + L"\\setup.exe.run"; }

  winetest::ScratchFolder scratch;
  std::wstring folder;
  std::wstring program;
  const platform::Services services = platform::CreateSystemServices();
};

}  // namespace

// The installer sees exactly the quoted path, a blank and the arguments, and its exit code comes back.
TEST_F(InstallerWineTest, RunsTheInstallerWithItsCommandLineAndExitCode) {
  EXPECT_EQ(RunProcess(*services.processes, program, L"/S /exit=1603", true), (RunResult{1603, L"exit code = 1603"}));
  EXPECT_EQ(ReadAll(Record()), "\"" + Narrow(program) + "\" /S /exit=1603\n");
  EXPECT_EQ(RunProcess(*services.processes, program, L"", true), (RunResult{0, L""}));
  EXPECT_EQ(ReadAll(Record()), "\"" + Narrow(program) + "\" \n");
}

// An installer not waited for keeps running after the run returned.
TEST_F(InstallerWineTest, ReturnsAtOnceWhenNotWaiting) {
  const std::wstring gate = scratch.Path() + L"\\gate";
  ::SetEnvironmentVariableW(L"BRIMVALE_TEST_INSTALLER_GATE", gate.c_str());
  EXPECT_EQ(RunProcess(*services.processes, program, L"/offer", false),
            (RunResult{0xFFFFFFFF, L"exit code = 4294967295"}));
  EXPECT_EQ(::GetFileAttributesW(Record().c_str()), INVALID_FILE_ATTRIBUTES);
  WriteFile(gate, "open");
  // A loaded machine may take many seconds to start a Wine process: wait as
  // long as the installer itself waits at its gate, until its whole record
  // (one line) can be read.
  std::string record;
  for (int i = 0; i < 1200 && !record.ends_with('\n'); ++i) {
    ::Sleep(50);
    record = ReadAll(Record());
  }
  EXPECT_EQ(record, "\"" + Narrow(program) + "\" /offer\n");
}

// A program that cannot start gives the system's text for the failure.
TEST_F(InstallerWineTest, ReportsProgramsThatCannotStart) {
  const std::wstring notFound = platform::GetSystemErrorText(ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(notFound.empty());
  EXPECT_EQ(RunProcess(*services.processes, folder + L"\\missing.exe", L"", true),
            (RunResult{0xFFFFFFFF, L"Error launching executable: " + notFound}));
  WriteFile(folder + L"\\setup.7z", std::string("7z\xBC\xAF\x27\x1C", 6));
  const RunResult archive = RunProcess(*services.processes, folder + L"\\setup.7z", L"", true);
  EXPECT_EQ(archive.first, 0xFFFFFFFFu);
  EXPECT_EQ(archive.second.rfind(L"Error launching executable: ", 0), 0u);
}

// Archive recognition, the extraction folder and the program found in it, on Wine's files and shell.
TEST_F(InstallerWineTest, ResolvesTheProgramOfAPreparedExtractionFolder) {
  const std::wstring downloads = scratch.Path() + L"\\Downloads";
  const std::wstring base = scratch.Path() + L"\\work";
  ::CreateDirectoryW(downloads.c_str(), nullptr);
  ::CreateDirectoryW(base.c_str(), nullptr);
  const std::wstring archive = downloads + L"\\setup.zip";
  WriteFile(archive, std::string("PK\x03\x04\x14\x00", 6));
  EXPECT_EQ(GetArchiveType(*services.files, archive), ZipArchive);
  WriteFile(downloads + L"\\setup.7z", std::string("7z\xBC\xAF\x27\x1C", 6));
  EXPECT_EQ(GetArchiveType(*services.files, downloads + L"\\setup.7z"), SevenZipArchive);
  EXPECT_EQ(GetArchiveType(*services.files, downloads + L"\\missing"), NotAnArchive);

  // Nothing to unpack and nothing prepared: the archive itself is run.
  EXPECT_EQ(ResolveExecutable(services, archive, ZipArchive, base), archive);
  EXPECT_EQ(::GetFileAttributesW((base + L"\\setup").c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));

  // A prepared folder: folders named *.exe and other files are passed over.
  ::CreateDirectoryW((base + L"\\setup\\dir.exe").c_str(), nullptr);
  WriteFile(base + L"\\setup\\readme.txt", "");
  EXPECT_EQ(FindFirstExe(*services.files, base + L"\\setup"), L"");
  WriteFile(base + L"\\setup\\Setup.EXE", "MZ");
  EXPECT_EQ(FindFirstExe(*services.files, base + L"\\setup"), L"Setup.EXE");
  EXPECT_EQ(ResolveExecutable(services, archive, ZipArchive, base), base + L"\\setup\\Setup.EXE");

  EXPECT_EQ(MakeExtractFolder(*services.files, downloads + L"\\a.b.zip", base), base + L"\\a.b");
  EXPECT_EQ(MakeExtractFolder(*services.files, downloads + L"\\x.zip", base + L"\\missing"), base + L"\\missing");
}
