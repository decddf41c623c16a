#include "platform/posix/PosixFileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/posix/NativePath.h"
#include "tests/fakes/TestServices.h"

using namespace platform;

TEST(PosixFileSystem, MapsFailuresToWin32Codes) {
  fakes::ScratchFolder scratch;
  posix::PosixFileSystem files;
  const std::wstring folder = scratch.Wide() + L"\\sub";  // a backslash is a separator
  EXPECT_EQ(files.MakeDirectory(folder), kErrorSuccess);
  EXPECT_EQ(files.MakeDirectory(folder), kErrorAlreadyExists);
  EXPECT_TRUE(files.IsDirectory(folder));
  EXPECT_TRUE(files.IsDirectoryEmpty(folder));
  std::ofstream(scratch.Path() / "sub" / "file.txt") << "x";
  EXPECT_FALSE(files.IsDirectoryEmpty(folder));
  EXPECT_EQ(files.RemoveEmptyDirectory(folder), kErrorDirNotEmpty);
  EXPECT_EQ(files.RemoveFile(folder), kErrorAccessDenied);
  EXPECT_EQ(files.RemoveFile(folder + L"\\missing"), kErrorFileNotFound);

  std::vector<DirectoryEntry> entries;
  EXPECT_EQ(files.ListDirectory(folder, entries), kErrorSuccess);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, L"file.txt");
  EXPECT_FALSE(entries[0].isDirectory);
  EXPECT_EQ(files.ListDirectory(folder + L"\\missing", entries), kErrorFileNotFound);
}

TEST(PosixFileSystem, UniqueTempFilesHaveTheWindowsShape) {
  fakes::ScratchFolder scratch;
  posix::PosixFileSystem files;
  std::wstring first, second;
  ASSERT_EQ(files.CreateUniqueTempFile(scratch.Wide() + L"/", L"ISVX", first), kErrorSuccess);
  ASSERT_EQ(files.CreateUniqueTempFile(scratch.Wide(), L"ISV", second), kErrorSuccess);
  EXPECT_NE(first, second);
  for (const auto& path : {first, second}) {
    const std::filesystem::path file(posix::ToNativePath(path));
    EXPECT_TRUE(std::filesystem::is_regular_file(file));
    EXPECT_EQ(file.filename().string().substr(0, 3), "ISV");
    EXPECT_EQ(file.filename().string().size(), 11u);
    EXPECT_EQ(file.extension(), ".TMP");
  }
  EXPECT_NE(files.CreateUniqueTempFile(scratch.Wide() + L"/missing/", L"ISV", first), kErrorSuccess);
}
