#include "platform/posix/PosixFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/posix/NativePath.h"

namespace platform::posix {

Win32Error Win32ErrorFromErrno(int error) {
  switch (error) {
    case 0: return kErrorSuccess;
    case ENOENT: return kErrorFileNotFound;
    case ENOTDIR: return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR: return kErrorAccessDenied;
    case EBUSY:
    case ETXTBSY: return kErrorSharingViolation;
    case EEXIST: return kErrorAlreadyExists;
    case ENOTEMPTY: return kErrorDirNotEmpty;
    case ENOMEM: return kErrorNotEnoughMemory;
    default: return kErrorInvalidParameter;
  }
}

namespace {

Win32Error LastError() { return Win32ErrorFromErrno(errno); }

bool StatPath(const std::wstring& path, struct stat& info, bool followLinks = true) {
  const std::string native = ToNativePath(path);
  if (native.empty()) return false;
  return (followLinks ? ::stat(native.c_str(), &info) : ::lstat(native.c_str(), &info)) == 0;
}

}  // namespace

std::optional<std::wstring> PosixFileSystem::TempFolder() {
  std::string folder = "/tmp/";
  if (const char* tmpdir = std::getenv("TMPDIR"); tmpdir && *tmpdir) {
    folder = tmpdir;
    if (folder.back() != '/') folder += '/';
  }
  if (folder.size() >= kMaxPath) return std::nullopt;
  return FromNativePath(folder);
}

Win32Error PosixFileSystem::CreateUniqueTempFile(const std::wstring& folder, const std::wstring& prefix,
                                                 std::wstring& path) {
  // As GetTempFileNameW with uUnique 0: start from a time-derived number and
  // count up through the 65535 four-digit names until one can be created.
  std::wstring base = folder;
  if (!base.empty() && base.back() != L'\\' && base.back() != L'/') base += L'\\';
  base += prefix.substr(0, 3);
  const unsigned start = static_cast<unsigned>(std::time(nullptr) ^ ::getpid());
  for (unsigned i = 0; i < 0xFFFF; ++i) {
    const unsigned unique = (start + i) % 0xFFFF + 1;
    wchar_t digits[8];
    std::swprintf(digits, 8, L"%04X", unique);
    const std::wstring candidate = base + digits + L".TMP";
    const int fd = ::open(ToNativePath(candidate).c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
      ::close(fd);
      path = candidate;
      return kErrorSuccess;
    }
    if (errno != EEXIST) return LastError();
  }
  return kErrorFileExists;
}

Win32Error PosixFileSystem::RemoveFile(const std::wstring& path) {
  struct stat info;
  if (StatPath(path, info, false) && S_ISDIR(info.st_mode)) return kErrorAccessDenied;
  return ::unlink(ToNativePath(path).c_str()) == 0 ? kErrorSuccess : LastError();
}

Win32Error PosixFileSystem::MakeDirectory(const std::wstring& path) {
  return ::mkdir(ToNativePath(path).c_str(), 0755) == 0 ? kErrorSuccess : LastError();
}

Win32Error PosixFileSystem::RemoveEmptyDirectory(const std::wstring& path) {
  struct stat info;
  // RemoveDirectoryW removes a link to a folder as a link.
  if (StatPath(path, info, false) && S_ISLNK(info.st_mode))
    return ::unlink(ToNativePath(path).c_str()) == 0 ? kErrorSuccess : LastError();
  if (StatPath(path, info, false) && !S_ISDIR(info.st_mode)) return kErrorPathNotFound;
  return ::rmdir(ToNativePath(path).c_str()) == 0 ? kErrorSuccess : LastError();
}

bool PosixFileSystem::Exists(const std::wstring& path) {
  struct stat info;
  return StatPath(path, info, false);
}

bool PosixFileSystem::IsDirectory(const std::wstring& path) {
  struct stat info;
  return StatPath(path, info) && S_ISDIR(info.st_mode);
}

bool PosixFileSystem::IsDirectoryEmpty(const std::wstring& path) {
  std::vector<DirectoryEntry> entries;
  return IsDirectory(path) && ListDirectory(path, entries) == kErrorSuccess && entries.empty();
}

Win32Error PosixFileSystem::DeleteAtRestart(const std::wstring& path) {
  std::lock_guard lock(mutex);
  scheduledDeletions.push_back(path);
  return kErrorSuccess;
}

std::vector<std::wstring> PosixFileSystem::ScheduledDeletions() const {
  std::lock_guard lock(mutex);
  return scheduledDeletions;
}

Win32Error PosixFileSystem::ListDirectory(const std::wstring& folder, std::vector<DirectoryEntry>& entries) {
  entries.clear();
  const std::string native = ToNativePath(folder);
  DIR* dir = ::opendir(native.c_str());
  if (!dir) return LastError();
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat info;
    const std::string full = native + "/" + name;
    DirectoryEntry result{.name = FromNativePath(name)};
    if (::lstat(full.c_str(), &info) == 0) {
      result.isLink = S_ISLNK(info.st_mode);
      // A link reports the kind of its target, as a Windows reparse point does.
      struct stat target;
      result.isDirectory = result.isLink ? (::stat(full.c_str(), &target) == 0 && S_ISDIR(target.st_mode))
                                         : S_ISDIR(info.st_mode);
    }
    entries.push_back(std::move(result));
  }
  ::closedir(dir);
  return kErrorSuccess;
}

}  // namespace platform::posix
