// Files and folders, shaped after the Win32 calls the wizard makes.
// Paths are wide strings; the core joins them with a backslash, and the posix
// backend reads a backslash as a separator. Results are Win32 error codes.
//
// Method names never repeat a Win32 A/W macro name (DeleteFile,
// CreateDirectory, ...): <windows.h> would rename them in the win32 backend.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Win32Error.h"

namespace platform {

struct DirectoryEntry {
  std::wstring name;  // without the folder
  bool isDirectory = false;
  bool isLink = false;  // symbolic link or junction (reparse point)
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // GetTempPathW with a 260-character buffer: the temporary folder with a
  // trailing separator, or nullopt when the call fails.
  virtual std::optional<std::wstring> TempFolder() = 0;

  // GetTempFileNameW(folder, prefix, 0): creates a new empty file named
  // prefix (first three characters) + four hexadecimal digits + ".TMP" in
  // folder and returns its path in `path`.
  virtual Win32Error CreateUniqueTempFile(const std::wstring& folder, const std::wstring& prefix,
                                          std::wstring& path) = 0;

  virtual Win32Error RemoveFile(const std::wstring& path) = 0;           // DeleteFileW
  virtual Win32Error MakeDirectory(const std::wstring& path) = 0;        // CreateDirectoryW
  virtual Win32Error RemoveEmptyDirectory(const std::wstring& path) = 0;  // RemoveDirectoryW
  virtual bool Exists(const std::wstring& path) = 0;                     // PathFileExistsW
  virtual bool IsDirectory(const std::wstring& path) = 0;                // PathIsDirectoryW
  virtual bool IsDirectoryEmpty(const std::wstring& path) = 0;           // PathIsDirectoryEmptyW

  // MoveFileExW(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT).
  virtual Win32Error DeleteAtRestart(const std::wstring& path) = 0;

  // FindFirstFileW/FindNextFileW on folder\*.*, without "." and "..".
  // Returns kErrorSuccess with an empty list for an empty folder.
  virtual Win32Error ListDirectory(const std::wstring& folder, std::vector<DirectoryEntry>& entries) = 0;
};

}  // namespace platform
