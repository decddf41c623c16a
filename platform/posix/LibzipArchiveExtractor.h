// ZIP archives on Linux with libzip. Every entry is checked before anything
// is written: an absolute name, a drive, a ".." part or a link refuses the
// whole archive (CopyFailed), so nothing lands outside the destination.
// Backslashes in entry names are separators, as on Windows.
#pragma once

#include "platform/ArchiveExtractor.h"

namespace platform::posix {

class LibzipArchiveExtractor : public ArchiveExtractor {
 public:
  ExtractOutcome ExtractZip(const std::wstring& archive, const std::wstring& destination) override;
};

}  // namespace platform::posix
