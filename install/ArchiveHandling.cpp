#include "install/ArchiveHandling.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "platform/PathAppend.h"

ArchiveKind GetArchiveType(platform::FileSystem& files, const std::wstring& path) {
  std::vector<std::uint8_t> bytes;
  if (files.ReadFileStart(path, 6, bytes) != platform::kErrorSuccess) return NotAnArchive;
  bytes.resize(6, 0);  // missing bytes count as zero
  static constexpr std::array<std::uint8_t, 4> kZip = {0x50, 0x4B, 0x03, 0x04};
  static constexpr std::array<std::uint8_t, 6> kSevenZip = {0x37, 0x7A, 0xBC, 0xAF, 0x27, 0x1C};
  if (std::equal(kZip.begin(), kZip.end(), bytes.begin())) return ZipArchive;
  if (std::equal(kSevenZip.begin(), kSevenZip.end(), bytes.begin())) return SevenZipArchive;
  return NotAnArchive;
}

std::wstring ResolveExecutable(const platform::Services& services, const std::wstring& path, ArchiveKind kind,
                               const std::wstring& baseFolder) {
  // A 7-Zip archive is run as it is.
  if (kind != ZipArchive) return path;
  const std::wstring folder = MakeExtractFolder(*services.files, path, baseFolder);
  if (!ExtractZip(*services.archives, path, folder)) return path;
  const std::wstring name = FindFirstExe(*services.files, folder);
  if (name.empty()) return path;
  return AppendPath(folder, name).value_or(path);
}

std::wstring MakeExtractFolder(platform::FileSystem& files, const std::wstring& archivePath,
                               const std::wstring& baseFolder) {
  std::wstring part;
  if (const auto slash = archivePath.rfind(L'\\'); slash != std::wstring::npos) {
    part = archivePath.substr(slash);
    if (const auto dot = part.rfind(L'.'); dot != std::wstring::npos) part.resize(dot);
    // The name comes from a URL: one of dots and blanks alone would be the
    // base folder itself or, as "..", its parent once Windows has read it.
    if (part.find_first_not_of(L"\\. ") == std::wstring::npos) part.clear();
  }
  const std::wstring folder = baseFolder + part;
  const platform::Win32Error error = files.MakeDirectory(folder);
  return error == platform::kErrorSuccess || error == platform::kErrorAlreadyExists ? folder : baseFolder;
}

bool ExtractZip(platform::ArchiveExtractor& archives, const std::wstring& archive, const std::wstring& destination) {
  switch (archives.ExtractZip(archive, destination)) {
    case platform::ExtractOutcome::NoItems:
    case platform::ExtractOutcome::CopyFailed: return false;
    case platform::ExtractOutcome::Copied:
    case platform::ExtractOutcome::Unavailable: return true;
  }
  return false;
}

std::wstring FindFirstExe(platform::FileSystem& files, const std::wstring& folder) {
  std::wstring pattern = folder + L"\\*.exe";
  if (pattern.size() > platform::kMaxPath - 1) pattern.resize(platform::kMaxPath - 1);
  std::vector<platform::DirectoryEntry> entries;
  if (files.FindFiles(pattern, entries) != platform::kErrorSuccess) return L"";
  for (const auto& entry : entries)
    if (!entry.isDirectory) return entry.name;
  return L"";
}
