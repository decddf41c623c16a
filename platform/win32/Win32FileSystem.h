#pragma once

#include "platform/FileSystem.h"

namespace platform::win32 {

class Win32FileSystem : public FileSystem {
 public:
  std::optional<std::wstring> TempFolder() override;
  Win32Error CreateUniqueTempFile(const std::wstring& folder, const std::wstring& prefix,
                                  std::wstring& path) override;
  Win32Error RemoveFile(const std::wstring& path) override;
  Win32Error MakeDirectory(const std::wstring& path) override;
  Win32Error MakeProtectedDirectory(const std::wstring& path) override;
  Win32Error RemoveEmptyDirectory(const std::wstring& path) override;
  bool Exists(const std::wstring& path) override;
  bool IsDirectory(const std::wstring& path) override;
  bool IsDirectoryEmpty(const std::wstring& path) override;
  Win32Error DeleteAtRestart(const std::wstring& path) override;
  Win32Error ListDirectory(const std::wstring& folder, std::vector<DirectoryEntry>& entries) override;
  Win32Error FindFiles(const std::wstring& pattern, std::vector<DirectoryEntry>& entries) override;
  Win32Error OpenForWriting(const std::wstring& path, std::unique_ptr<OutputFile>& file) override;
  Win32Error ReadFileStart(const std::wstring& path, std::size_t count, std::vector<std::uint8_t>& bytes) override;
  Win32Error QueryFileSize(const std::wstring& path, std::uint64_t& size) override;
};

}  // namespace platform::win32
