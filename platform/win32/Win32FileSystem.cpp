#include "platform/win32/Win32FileSystem.h"

#include <shlwapi.h>
#include <windows.h>
#include <sddl.h>

#include "platform/win32/UniqueHandle.h"

namespace platform::win32 {
namespace {

Win32Error ResultOf(BOOL ok) { return ok ? kErrorSuccess : ::GetLastError(); }

KernelHandle OpenExisting(const std::wstring& path) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  return KernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

// FindFirstFileW/FindNextFileW: the matches without "." and "..".
Win32Error FindMatches(const std::wstring& pattern, std::vector<DirectoryEntry>& entries) {
  entries.clear();
  WIN32_FIND_DATAW data;
  FindHandle find(::FindFirstFileW(pattern.c_str(), &data));
  if (!find) return ::GetLastError();
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

class Win32OutputFile : public OutputFile {
 public:
  explicit Win32OutputFile(KernelHandle file) : file(std::move(file)) {}

  Win32Error Write(const void* data, std::size_t size) override {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
      const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
      DWORD written = 0;
      if (!::WriteFile(file.Get(), bytes, chunk, &written, nullptr)) return ::GetLastError();
      bytes += written;
      size -= written;
    }
    return kErrorSuccess;
  }

 private:
  KernelHandle file;
};

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

Win32Error Win32FileSystem::MakeProtectedDirectory(const std::wstring& path) {
  // P: the parent's entries are not inherited. Full access for SYSTEM (SY)
  // and Administrators (BA), handed on to files (OI) and folders (CI) inside.
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)",
                                                              SDDL_REVISION_1, &descriptor, nullptr))
    return ::GetLastError();
  const LocalMemory owned(descriptor);
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
  // CreateDirectoryW fails with ERROR_ALREADY_EXISTS for any existing name,
  // a link included, and never follows one.
  return ResultOf(::CreateDirectoryW(path.c_str(), &attributes));
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
  const Win32Error error = FindMatches(folder + L"\\*.*", entries);
  return error == ERROR_FILE_NOT_FOUND ? kErrorSuccess : error;
}

Win32Error Win32FileSystem::FindFiles(const std::wstring& pattern, std::vector<DirectoryEntry>& entries) {
  const Win32Error error = FindMatches(pattern, entries);
  return error == kErrorSuccess && entries.empty() ? kErrorFileNotFound : error;
}

Win32Error Win32FileSystem::OpenForWriting(const std::wstring& path, std::unique_ptr<OutputFile>& file) {
  file.reset();
  HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return ::GetLastError();
  file = std::make_unique<Win32OutputFile>(KernelHandle(handle));
  return kErrorSuccess;
}

Win32Error Win32FileSystem::ReadFileStart(const std::wstring& path, std::size_t count,
                                          std::vector<std::uint8_t>& bytes) {
  bytes.assign(count, 0);
  KernelHandle file = OpenExisting(path);
  if (!file) {
    bytes.clear();
    return ::GetLastError();
  }
  std::size_t total = 0;
  while (total < count) {
    DWORD got = 0;
    if (!::ReadFile(file.Get(), bytes.data() + total, static_cast<DWORD>(count - total), &got, nullptr)) {
      bytes.resize(total);
      return ::GetLastError();
    }
    if (got == 0) break;
    total += got;
  }
  bytes.resize(total);
  return kErrorSuccess;
}

Win32Error Win32FileSystem::QueryFileSize(const std::wstring& path, std::uint64_t& size) {
  KernelHandle file = OpenExisting(path);
  if (!file) return ::GetLastError();
  LARGE_INTEGER length;
  if (!::GetFileSizeEx(file.Get(), &length)) return ::GetLastError();
  size = static_cast<std::uint64_t>(length.QuadPart);
  return kErrorSuccess;
}

}  // namespace platform::win32
