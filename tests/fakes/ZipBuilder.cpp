#include "tests/fakes/ZipBuilder.h"

#include <sys/stat.h>
#include <zip.h>

#include <fstream>
#include <stdexcept>

namespace fakes {

void WriteZip(const std::filesystem::path& path, const std::vector<ZipEntry>& entries) {
  if (entries.empty()) {
    // libzip writes no file for an empty archive: the end record alone.
    std::ofstream(path, std::ios::binary) << std::string("PK\x05\x06", 4) << std::string(18, '\0');
    return;
  }
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!archive) throw std::runtime_error("zip_open failed");
  for (const auto& entry : entries) {
    zip_int64_t index;
    if (entry.isFolder) {
      index = zip_dir_add(archive, entry.name.c_str(), ZIP_FL_ENC_RAW);
    } else {
      zip_source_t* source = zip_source_buffer(archive, entry.content.data(), entry.content.size(), 0);
      index = zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_RAW | ZIP_FL_OVERWRITE);
    }
    if (index < 0) throw std::runtime_error("cannot add " + entry.name);
    if (entry.isLink)
      zip_file_set_external_attributes(archive, static_cast<zip_uint64_t>(index), 0, ZIP_OPSYS_UNIX,
                                       static_cast<zip_uint32_t>(S_IFLNK | 0777) << 16);
  }
  if (zip_close(archive) != 0) throw std::runtime_error("zip_close failed");
}

}  // namespace fakes
