// Files and folders, shaped after the Win32 calls the wizard makes.
// Paths are wide strings; the core joins them with a backslash, and the posix
// backend reads a backslash as a separator. Results are Win32 error codes.
//
// Method names never repeat a Win32 A/W macro name (DeleteFile,
// CreateDirectory, ...): <windows.h> would rename them in the win32 backend.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
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

// A file open for writing; closed when the object goes away.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // WriteFile of all `size` bytes; the Win32 error of a failed write.
  virtual Win32Error Write(const void* data, std::size_t size) = 0;
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

  // CreateDirectoryW with a security descriptor whose DACL grants full
  // access to Administrators and SYSTEM only, inherited by everything made
  // inside it and protected from the parent's entries: a process of the
  // same user without elevation can neither read nor change what is put
  // there. kErrorAlreadyExists when anything has that name already (a
  // folder, a file, a link): it is never reused. The posix backend creates
  // the folder with mode 0700 and refuses any existing name the same way.
  virtual Win32Error MakeProtectedDirectory(const std::wstring& path) = 0;
  virtual Win32Error RemoveEmptyDirectory(const std::wstring& path) = 0;  // RemoveDirectoryW
  virtual bool Exists(const std::wstring& path) = 0;                     // PathFileExistsW
  virtual bool IsDirectory(const std::wstring& path) = 0;                // PathIsDirectoryW
  virtual bool IsDirectoryEmpty(const std::wstring& path) = 0;           // PathIsDirectoryEmptyW

  // MoveFileExW(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT).
  virtual Win32Error DeleteAtRestart(const std::wstring& path) = 0;

  // FindFirstFileW/FindNextFileW on folder\*.*, without "." and "..".
  // Returns kErrorSuccess with an empty list for an empty folder.
  virtual Win32Error ListDirectory(const std::wstring& folder, std::vector<DirectoryEntry>& entries) = 0;

  // FindFirstFileW/FindNextFileW on a pattern whose last part may hold the
  // wildcards * and ? (matched without regard to case), in the order the
  // file system returns them. kErrorFileNotFound when nothing matches.
  virtual Win32Error FindFiles(const std::wstring& pattern, std::vector<DirectoryEntry>& entries) = 0;

  // CreateFileW for writing with CREATE_ALWAYS (created or truncated),
  // others may read and write it meanwhile.
  virtual Win32Error OpenForWriting(const std::wstring& path, std::unique_ptr<OutputFile>& file) = 0;

  // Opens the file for reading and reads up to `count` bytes from its start;
  // fewer come back when the file is shorter.
  virtual Win32Error ReadFileStart(const std::wstring& path, std::size_t count, std::vector<std::uint8_t>& bytes) = 0;

  // Opens the file for reading and takes its 64-bit size.
  virtual Win32Error QueryFileSize(const std::wstring& path, std::uint64_t& size) = 0;
};

}  // namespace platform
