#include "platform/win32/Win32FileSystem.h"

#include <shlwapi.h>
#include <windows.h>

#include "platform/win32/UniqueHandle.h"

namespace platform::win32 {
namespace {

Win32Error ResultOf(BOOL ok) { return ok ? kErrorSuccess : ::GetLastError(); }

}  // namespace

std::optional<std::wstring> Win32FileSystem::TempFolder() {
  wchar_t buffer[MAX_PATH] = {};
  const DWORD length = ::GetTempPathW(MAX_PATH, buffer);
  if (length == 0 || length > MAX_PATH) return std::nullopt;
  return std::wstring(buffer, length);
}

Win32Error Win32FileSystem::CreateUniqueTempFile(const std::wstring& folder, const std::wstring& prefix,
                                                 std::wstring& path) {
  wchar_t buffer[MAX_PATH] = {};
  if (::GetTempFileNameW(folder.c_str(), prefix.c_str(), 0, buffer) == 0) return ::GetLastError();
  path = buffer;
  return kErrorSuccess;
}

Win32Error Win32FileSystem::RemoveFile(const std::wstring& path) { return ResultOf(::DeleteFileW(path.c_str())); }

Win32Error Win32FileSystem::MakeDirectory(const std::wstring& path) {
  return ResultOf(::CreateDirectoryW(path.c_str(), nullptr));
}

Win32Error Win32FileSystem::RemoveEmptyDirectory(const std::wstring& path) {
  return ResultOf(::RemoveDirectoryW(path.c_str()));
}

bool Win32FileSystem::Exists(const std::wstring& path) { return ::PathFileExistsW(path.c_str()) != FALSE; }

bool Win32FileSystem::IsDirectory(const std::wstring& path) { return ::PathIsDirectoryW(path.c_str()) != FALSE; }

bool Win32FileSystem::IsDirectoryEmpty(const std::wstring& path) {
  return ::PathIsDirectoryEmptyW(path.c_str()) != FALSE;
}

Win32Error Win32FileSystem::DeleteAtRestart(const std::wstring& path) {
  return ResultOf(::MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
}

Win32Error Win32FileSystem::ListDirectory(const std::wstring& folder, std::vector<DirectoryEntry>& entries) {
  entries.clear();
  WIN32_FIND_DATAW data;
  FindHandle find(::FindFirstFileW((folder + L"\\*.*").c_str(), &data));
  if (!find) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? kErrorSuccess : error;
  }
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    entries.push_back({.name = name,
                       .isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                       .isLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
  } while (::FindNextFileW(find.Get(), &data));
  const DWORD error = ::GetLastError();
  return error == ERROR_NO_MORE_FILES ? kErrorSuccess : error;
}

}  // namespace platform::win32
