// Writes small ZIP archives for tests with libzip: files, folders, links and
// names that a hostile archive would carry.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace fakes {

struct ZipEntry {
  std::string name{};       // as stored in the archive
  std::string content{};    // for files and links (the link's target)
  bool isFolder = false;
  bool isLink = false;
};

// Writes the archive; an empty list gives a valid archive with no entry.
void WriteZip(const std::filesystem::path& path, const std::vector<ZipEntry>& entries);

}  // namespace fakes
