#include "platform/posix/LibzipArchiveExtractor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/posix/NativePath.h"

namespace platform::posix {
namespace {

struct ArchiveCloser {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct EntryCloser {
  void operator()(zip_file_t* entry) const { zip_fclose(entry); }
};
using ArchivePtr = std::unique_ptr<zip_t, ArchiveCloser>;
using EntryPtr = std::unique_ptr<zip_file_t, EntryCloser>;

struct Entry {
  zip_uint64_t index = 0;
  std::vector<std::string> parts;  // the relative path, checked
  bool isDirectory = false;
};

// The entry's path as checked parts, or nullopt when it would leave the
// destination or cannot be a file name.
std::optional<std::vector<std::string>> SafeParts(std::string name) {
  for (char& c : name)
    if (c == '\\') c = '/';
  if (name.empty() || name.front() == '/' || name.find(':') != std::string::npos) return std::nullopt;
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= name.size()) {
    const std::size_t slash = std::min(name.find('/', start), name.size());
    const std::string part = name.substr(start, slash - start);
    if (part == "..") return std::nullopt;
    if (!part.empty() && part != "." && part.find('\0') == std::string::npos) parts.push_back(part);
    start = slash + 1;
  }
  if (parts.empty()) return std::nullopt;
  return parts;
}

bool IsLink(zip_t* archive, zip_uint64_t index) {
  zip_uint8_t system = 0;
  zip_uint32_t attributes = 0;
  if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0) return false;
  return system == ZIP_OPSYS_UNIX && ((attributes >> 16) & S_IFMT) == S_IFLNK;
}

// Creates the folder unless it is there; a link in its place is refused.
bool EnsureDirectory(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) == 0) return true;
  struct stat info;
  return errno == EEXIST && ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool WriteEntry(zip_t* archive, zip_uint64_t index, const std::string& path) {
  EntryPtr entry(zip_fopen_index(archive, index, 0));
  if (!entry) return false;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  std::vector<char> buffer(64 * 1024);
  bool ok = true;
  while (ok) {
    const zip_int64_t got = zip_fread(entry.get(), buffer.data(), buffer.size());
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    for (zip_int64_t done = 0; ok && done < got;) {
      const ssize_t written = ::write(fd, buffer.data() + done, static_cast<std::size_t>(got - done));
      if (written < 0 && errno == EINTR) continue;
      ok = written > 0;
      done += written;
    }
  }
  return ::close(fd) == 0 && ok;
}

}  // namespace

ExtractOutcome LibzipArchiveExtractor::ExtractZip(const std::wstring& archivePath, const std::wstring& destination) {
  const std::string root = ToNativePath(destination);
  struct stat info;
  if (::stat(root.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return ExtractOutcome::Unavailable;
  int error = 0;
  ArchivePtr archive(zip_open(ToNativePath(archivePath).c_str(), ZIP_RDONLY, &error));
  if (!archive) return ExtractOutcome::Unavailable;

  const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
  if (count <= 0) return ExtractOutcome::NoItems;

  // Check every entry first, so a hostile archive writes nothing at all.
  std::vector<Entry> entries;
  for (zip_uint64_t index = 0; index < static_cast<zip_uint64_t>(count); ++index) {
    const char* name = zip_get_name(archive.get(), index, ZIP_FL_ENC_RAW);
    if (!name || IsLink(archive.get(), index)) return ExtractOutcome::CopyFailed;
    auto parts = SafeParts(name);
    if (!parts) return ExtractOutcome::CopyFailed;
    const std::string raw = name;
    entries.push_back({index, std::move(*parts), raw.back() == '/' || raw.back() == '\\'});
  }

  for (const Entry& entry : entries) {
    std::string path = root;
    for (std::size_t i = 0; i + 1 < entry.parts.size(); ++i) {
      path += "/" + entry.parts[i];
      if (!EnsureDirectory(path)) return ExtractOutcome::CopyFailed;
    }
    path += "/" + entry.parts.back();
    const bool ok = entry.isDirectory ? EnsureDirectory(path) : WriteEntry(archive.get(), entry.index, path);
    if (!ok) return ExtractOutcome::CopyFailed;
  }
  return ExtractOutcome::Copied;
}

}  // namespace platform::posix
