// Unpacking a ZIP archive into a folder (the shell's ZIP folder on Windows).
#pragma once

#include <string>

namespace platform {

enum class ExtractOutcome {
  Copied,       // the archive's items were copied into the destination
  NoItems,      // the archive holds no item
  CopyFailed,   // the copy reported a failure (natively also: an entry would
                // land outside the destination; nothing is then written)
  Unavailable,  // the archive or the destination could not be opened as a
                // folder, or the shell object is missing; nothing was copied
};

class ArchiveExtractor {
 public:
  virtual ~ArchiveExtractor() = default;
  // Copies every item of the ZIP archive into the existing folder
  // `destination`, silently, overwriting files of the same name.
  virtual ExtractOutcome ExtractZip(const std::wstring& archive, const std::wstring& destination) = 0;
};

}  // namespace platform
