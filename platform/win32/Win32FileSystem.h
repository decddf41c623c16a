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
  Win32Error RemoveEmptyDirectory(const std::wstring& path) override;
  bool Exists(const std::wstring& path) override;
  bool IsDirectory(const std::wstring& path) override;
  bool IsDirectoryEmpty(const std::wstring& path) override;
  Win32Error DeleteAtRestart(const std::wstring& path) override;
  Win32Error ListDirectory(const std::wstring& folder, std::vector<DirectoryEntry>& entries) override;
};

}  // namespace platform::win32
