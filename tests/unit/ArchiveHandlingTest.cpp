#include "install/ArchiveHandling.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/fakes/TestServices.h"
#include "tests/fakes/ZipBuilder.h"
#include "util/Utf8.h"

namespace fs = std::filesystem;

namespace {

class ArchiveHandlingTest : public testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(Native(L"downloads"));
    fs::create_directories(Native(L"base"));
  }
  // A path in the scratch folder, as the core writes it (backslashes).
  std::wstring Path(const std::wstring& relative) const { return machine.scratch.Wide() + L"\\" + relative; }
  fs::path Native(const std::wstring& relative) const {
    std::wstring native = relative;
    std::replace(native.begin(), native.end(), L'\\', L'/');
    return machine.scratch.Path() / native;
  }
  void WriteFile(const std::wstring& relative, const std::string& content) {
    std::ofstream(Native(relative), std::ios::binary) << content;
  }
  std::wstring Resolve(const std::wstring& archive) {
    const auto services = machine.Bundle();
    return ResolveExecutable(services, Path(archive), GetArchiveType(*services.files, Path(archive)), Path(L"base"));
  }

  fakes::TestServices machine;
};

}  // namespace

// Archives are told by their first bytes; short and missing files are not archives.
TEST_F(ArchiveHandlingTest, RecognisesArchivesByTheirFirstBytes) {
  const struct {
    std::string bytes;
    ArchiveKind kind;
  } cases[] = {
      {std::string("PK\x03\x04\x14\x00rest", 10), ZipArchive},
      {std::string("PK\x03\x04", 4), ZipArchive},
      {std::string("7z\xBC\xAF\x27\x1C\x00\x04", 8), SevenZipArchive},
      {std::string("7z\xBC\xAF\x27", 5), NotAnArchive},
      {std::string("PK\x05\x06", 4), NotAnArchive},
      {"MZ\x90", NotAnArchive},
      {"", NotAnArchive},
  };
  auto& files = *machine.files;
  for (const auto& c : cases) {
    WriteFile(L"file", c.bytes);
    EXPECT_EQ(GetArchiveType(files, Path(L"file")), c.kind) << testing::PrintToString(c.bytes);
  }
  EXPECT_EQ(GetArchiveType(files, Path(L"missing")), NotAnArchive);
}

// The extraction folder is the base folder plus the archive's name without its last extension.
TEST_F(ArchiveHandlingTest, ExtractFolderIsNamedAfterTheArchive) {
  const struct {
    std::wstring archive;
    std::wstring folder;
  } cases[] = {
      {L"C:\\Downloads\\setup.zip", L"\\setup"},
      {L"C:\\Downloads\\setup", L"\\setup"},
      {L"C:\\Downloads\\a.b.zip", L"\\a.b"},
      {L"C:\\Down.loads\\package", L"\\package"},
      {L"setup.zip", L""},  // no backslash: the base folder itself
      // Names the URL gave that would step out of the base or land on it.
      {L"C:\\Downloads\\...zip", L""},
      {L"C:\\Downloads\\..", L""},
      {L"C:\\Downloads\\. .. .zip", L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MakeExtractFolder(*machine.files, c.archive, Path(L"base")), Path(L"base") + c.folder);
    EXPECT_TRUE(fs::is_directory(Native(L"base" + c.folder)));
  }
  // An existing folder is used again; one that cannot be made falls back to the base.
  EXPECT_EQ(MakeExtractFolder(*machine.files, L"X\\setup.zip", Path(L"base")), Path(L"base\\setup"));
  EXPECT_EQ(MakeExtractFolder(*machine.files, L"X\\setup.zip", Path(L"missing")), Path(L"missing"));
}

// A ZIP is unpacked into its own folder and its first program is the one to run.
TEST_F(ArchiveHandlingTest, RunsTheFirstProgramOfAZip) {
  fakes::WriteZip(Native(L"downloads\\setup.zip"),
                  {{.name = "readme.txt", .content = "hello"},
                   {.name = "bin/", .isFolder = true},
                   {.name = "bin/tool.exe", .content = "MZ tool"},
                   {.name = "setup.exe", .content = "MZ setup"}});
  EXPECT_EQ(Resolve(L"downloads\\setup.zip"), Path(L"base\\setup\\setup.exe"));
  std::ifstream program(Native(L"base\\setup\\setup.exe"));
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(program), {}), "MZ setup");
  EXPECT_TRUE(fs::exists(Native(L"base\\setup\\bin\\tool.exe")));

  // Names without an extension and with two dots.
  fakes::WriteZip(Native(L"downloads\\package"), {{.name = "x.exe", .content = "MZ"}});
  EXPECT_EQ(Resolve(L"downloads\\package"), Path(L"base\\package\\x.exe"));
  fakes::WriteZip(Native(L"downloads\\a.b.zip"), {{.name = "Install.EXE", .content = "MZ"}});
  EXPECT_EQ(Resolve(L"downloads\\a.b.zip"), Path(L"base\\a.b\\Install.EXE"));
}

// Without a program to run in the ZIP, or without a ZIP to unpack, the downloaded file itself is run.
TEST_F(ArchiveHandlingTest, RunsTheFileItselfWhenNothingElseCan) {
  // Only a folder whose name ends in .exe.
  fakes::WriteZip(Native(L"downloads\\folder.zip"), {{.name = "x.exe/", .isFolder = true}});
  EXPECT_EQ(Resolve(L"downloads\\folder.zip"), Path(L"downloads\\folder.zip"));
  EXPECT_TRUE(fs::is_directory(Native(L"base\\folder\\x.exe")));
  // A 7-Zip archive is run directly, nothing is unpacked.
  WriteFile(L"downloads\\setup.7z", std::string("7z\xBC\xAF\x27\x1C", 6));
  EXPECT_EQ(Resolve(L"downloads\\setup.7z"), Path(L"downloads\\setup.7z"));
  EXPECT_FALSE(fs::exists(Native(L"base\\setup")));
  // A ZIP header on a broken archive: nothing can be copied, nothing found.
  WriteFile(L"downloads\\broken.zip", std::string("PK\x03\x04garbage", 11));
  EXPECT_EQ(Resolve(L"downloads\\broken.zip"), Path(L"downloads\\broken.zip"));
}

// An empty archive is a failed extraction; an unreadable one copies nothing but is not.
TEST_F(ArchiveHandlingTest, ExtractZipReportsEmptyArchives) {
  auto& archives = *machine.archives;
  fakes::WriteZip(Native(L"empty.zip"), {});
  EXPECT_FALSE(ExtractZip(archives, Path(L"empty.zip"), Path(L"base")));
  WriteFile(L"text.zip", "not a zip");
  EXPECT_TRUE(ExtractZip(archives, Path(L"text.zip"), Path(L"base")));
  EXPECT_TRUE(fs::is_empty(Native(L"base")));
}

// An archive with any entry that would land outside its folder is refused whole.
TEST_F(ArchiveHandlingTest, RefusesEntriesThatLeaveTheFolder) {
  const fakes::ZipEntry hostile[] = {
      {.name = "../evil.exe", .content = "MZ"},
      {.name = "sub/../../evil.exe", .content = "MZ"},
      {.name = "..\\evil.exe", .content = "MZ"},
      {.name = "/tmp/brimvale-evil.exe", .content = "MZ"},
      {.name = "C:\\evil.exe", .content = "MZ"},
      {.name = "evil.exe", .content = "../../outside", .isLink = true},
  };
  for (const auto& entry : hostile) {
    fakes::WriteZip(Native(L"downloads\\slip.zip"), {{.name = "good.exe", .content = "MZ"}, entry});
    EXPECT_EQ(Resolve(L"downloads\\slip.zip"), Path(L"downloads\\slip.zip")) << entry.name;
    EXPECT_TRUE(fs::is_empty(Native(L"base\\slip"))) << entry.name;
    EXPECT_FALSE(fs::exists(Native(L"evil.exe")));
    EXPECT_FALSE(fs::exists(Native(L"base\\evil.exe")));
    EXPECT_FALSE(fs::exists("/tmp/brimvale-evil.exe"));
  }
  // A link already in the folder is not written through.
  fs::create_directories(Native(L"base\\linked"));
  fs::create_symlink(Native(L"outside.exe"), Native(L"base\\linked\\setup.exe"));
  fakes::WriteZip(Native(L"downloads\\linked.zip"), {{.name = "setup.exe", .content = "MZ"}});
  EXPECT_EQ(Resolve(L"downloads\\linked.zip"), Path(L"downloads\\linked.zip"));
  EXPECT_FALSE(fs::exists(Native(L"outside.exe")));
}

// The first file matching *.exe, whatever its case, that is not a folder.
TEST_F(ArchiveHandlingTest, FindFirstExeSkipsFoldersAndOtherFiles) {
  fs::create_directories(Native(L"base\\dir.exe"));
  WriteFile(L"base\\readme.txt", "");
  WriteFile(L"base\\setup.exe.txt", "");
  EXPECT_EQ(FindFirstExe(*machine.files, Path(L"base")), L"");
  WriteFile(L"base\\Setup.EXE", "");
  EXPECT_EQ(FindFirstExe(*machine.files, Path(L"base")), L"Setup.EXE");
  EXPECT_EQ(FindFirstExe(*machine.files, Path(L"missing")), L"");
}
