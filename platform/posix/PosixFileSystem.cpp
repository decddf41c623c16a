#include "platform/posix/PosixFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <cwchar>
#include <cwctype>

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
    case ENOSPC: return kErrorDiskFull;
    default: return kErrorInvalidParameter;
  }
}

namespace {

Win32Error LastError() { return Win32ErrorFromErrno(errno); }

// Windows refuses these characters in a file name (ERROR_INVALID_NAME).
bool IsValidWindowsName(const std::wstring& name) {
  for (const wchar_t c : name)
    if (c < 0x20 || std::wcschr(L"<>:\"|?*", c)) return false;
  return !name.empty();
}

std::wstring LastComponent(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// Windows wildcard match: * any run, ? one character, case folded.
bool MatchesMask(const wchar_t* name, const wchar_t* mask) {
  if (*mask == L'\0') return *name == L'\0';
  if (*mask == L'*') return MatchesMask(name, mask + 1) || (*name && MatchesMask(name + 1, mask));
  if (*name == L'\0') return false;
  if (*mask != L'?' && std::towlower(*mask) != std::towlower(*name)) return false;
  return MatchesMask(name + 1, mask + 1);
}

class PosixOutputFile : public OutputFile {
 public:
  explicit PosixOutputFile(int fd) : fd(fd) {}
  ~PosixOutputFile() override { ::close(fd); }
  PosixOutputFile(const PosixOutputFile&) = delete;
  PosixOutputFile& operator=(const PosixOutputFile&) = delete;

  Win32Error Write(const void* data, std::size_t size) override {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
      const ssize_t written = ::write(fd, bytes, size);
      if (written < 0) {
        if (errno == EINTR) continue;
        return LastError();
      }
      bytes += written;
      size -= static_cast<std::size_t>(written);
    }
    return kErrorSuccess;
  }

 private:
  int fd;
};

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

Win32Error PosixFileSystem::MakeProtectedDirectory(const std::wstring& path) {
  // mkdir never follows a link in the last part of the path: an existing
  // link fails as an existing folder does.
  return ::mkdir(ToNativePath(path).c_str(), 0700) == 0 ? kErrorSuccess : LastError();
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

Win32Error PosixFileSystem::FindFiles(const std::wstring& pattern, std::vector<DirectoryEntry>& entries) {
  entries.clear();
  const auto slash = pattern.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"." : pattern.substr(0, slash);
  const std::wstring mask = slash == std::wstring::npos ? pattern : pattern.substr(slash + 1);
  std::vector<DirectoryEntry> all;
  if (const Win32Error error = ListDirectory(folder, all); error != kErrorSuccess) return error;
  for (auto& entry : all)
    if (MatchesMask(entry.name.c_str(), mask.c_str())) entries.push_back(std::move(entry));
  return entries.empty() ? kErrorFileNotFound : kErrorSuccess;
}

Win32Error PosixFileSystem::OpenForWriting(const std::wstring& path, std::unique_ptr<OutputFile>& file) {
  file.reset();
  if (!IsValidWindowsName(LastComponent(path))) return kErrorInvalidName;
  const int fd = ::open(ToNativePath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return LastError();
  file = std::make_unique<PosixOutputFile>(fd);
  return kErrorSuccess;
}

Win32Error PosixFileSystem::ReadFileStart(const std::wstring& path, std::size_t count,
                                          std::vector<std::uint8_t>& bytes) {
  bytes.assign(count, 0);
  const int fd = ::open(ToNativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    bytes.clear();
    return LastError();
  }
  std::size_t total = 0;
  Win32Error result = kErrorSuccess;
  while (total < count) {
    const ssize_t got = ::read(fd, bytes.data() + total, count - total);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) result = LastError();
    if (got <= 0) break;
    total += static_cast<std::size_t>(got);
  }
  ::close(fd);
  bytes.resize(total);
  return result;
}

Win32Error PosixFileSystem::QueryFileSize(const std::wstring& path, std::uint64_t& size) {
  const int fd = ::open(ToNativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return LastError();
  struct stat info;
  const bool ok = ::fstat(fd, &info) == 0;
  const Win32Error error = ok ? kErrorSuccess : LastError();
  ::close(fd);
  if (ok) size = static_cast<std::uint64_t>(info.st_size);
  return error;
}

}  // namespace platform::posix
