#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "config/ConfigurationManager.h"
#include "shell/CBrimvaleDlg.h"
#include "tests/fakes/TestServices.h"

namespace {

namespace fs = std::filesystem;

// The real file system, except that files named "locked.bin" cannot be
// deleted: another process holds them open.
class LockingFileSystem : public fakes::TempFolderFileSystem {
 public:
  using TempFolderFileSystem::TempFolderFileSystem;
  platform::Win32Error RemoveFile(const std::wstring& path) override {
    if (path.ends_with(L"locked.bin")) return platform::kErrorSharingViolation;
    return TempFolderFileSystem::RemoveFile(path);
  }
};

class DeleteFolderTest : public testing::Test {
 protected:
  DeleteFolderTest() {
    bundle = services.Bundle();
    bundle.files = files;
    configuration = std::make_shared<ConfigurationManager>(bundle, BuiltInSettings{.wizardKey = "DLM"});
    // The host's window is never made, so it needs no pages.
    host = std::make_unique<CBrimvaleDlg>(
        WizardContext{.configuration = configuration, .pages = nullptr, .cancelDownloads = nullptr});
  }

  static void Write(const fs::path& file) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "data";
  }

  fakes::TestServices services;
  std::shared_ptr<LockingFileSystem> files = std::make_shared<LockingFileSystem>(services.scratch.Wide() + L"/");
  platform::Services bundle;
  std::shared_ptr<ConfigurationManager> configuration;
  std::unique_ptr<CBrimvaleDlg> host;
  fs::path work = services.scratch.Path() / "ISV1A2B.tmp";
  fs::path outside = services.scratch.Path() / "elsewhere";
};

// A locked file and its folder are left to the restart; everything else goes, an empty subfolder included.
TEST_F(DeleteFolderTest, LockedFilesWaitForTheRestart) {
  Write(work / "setup.exe");
  Write(work / "locked.bin");
  Write(work / "unpacked" / "nested" / "tool.exe");
  fs::create_directories(work / "empty");

  host->DeleteFolderRecursive(work.wstring());

  EXPECT_FALSE(fs::exists(work / "setup.exe"));
  EXPECT_FALSE(fs::exists(work / "unpacked"));
  EXPECT_FALSE(fs::exists(work / "empty"));
  EXPECT_TRUE(fs::exists(work / "locked.bin"));
  EXPECT_EQ(files->ScheduledDeletions(),
            (std::vector<std::wstring>{work.wstring() + L"\\locked.bin", work.wstring()}));
}

// A locked file deep inside: it and each folder on the way to it are left to
// the restart once, and its siblings go.
TEST_F(DeleteFolderTest, FoldersAroundALockedFileAreScheduledOnce) {
  Write(work / "unpacked" / "locked.bin");
  Write(work / "unpacked" / "tool.exe");

  host->DeleteFolderRecursive(work.wstring());

  EXPECT_FALSE(fs::exists(work / "unpacked" / "tool.exe"));
  const std::wstring unpacked = work.wstring() + L"\\unpacked";
  EXPECT_EQ(files->ScheduledDeletions(), (std::vector<std::wstring>{unpacked + L"\\locked.bin", unpacked, work.wstring()}));
}

// A link inside the folder is removed as a link; what it points to stays untouched.
TEST_F(DeleteFolderTest, LinksAreRemovedNotFollowed) {
  Write(outside / "keep.txt");
  Write(outside / "keep-too.txt");
  Write(work / "setup.exe");
  fs::create_directory_symlink(outside, work / "folder-link");
  fs::create_symlink(outside / "keep-too.txt", work / "file-link");

  host->DeleteFolderRecursive(work.wstring());

  EXPECT_FALSE(fs::exists(work));
  EXPECT_TRUE(fs::exists(outside / "keep.txt"));
  EXPECT_TRUE(fs::exists(outside / "keep-too.txt"));
  EXPECT_TRUE(files->ScheduledDeletions().empty());
}

// The wizard's own work folder goes even when it is empty.
TEST_F(DeleteFolderTest, EmptyWorkFolderIsRemoved) {
  fs::create_directories(work);
  configuration->workFolder = work.wstring();
  host->DeleteWorkFolder();
  EXPECT_FALSE(fs::exists(work));
}

// An empty folder, and a missing one, are left as they are by the recursion.
TEST_F(DeleteFolderTest, EmptyOrMissingFolderIsLeftAlone) {
  fs::create_directories(work);
  host->DeleteFolderRecursive(work.wstring());
  host->DeleteFolderRecursive((services.scratch.Path() / "missing").wstring());
  EXPECT_TRUE(fs::exists(work));
  EXPECT_TRUE(files->ScheduledDeletions().empty());
}

}  // namespace
