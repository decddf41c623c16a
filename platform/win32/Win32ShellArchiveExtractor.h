// ZIP archives through the shell's automation object (Shell.Application):
// the archive opened as a folder, its items copied into the destination.
#pragma once

#include "platform/ArchiveExtractor.h"

namespace platform::win32 {

class Win32ShellArchiveExtractor : public ArchiveExtractor {
 public:
  ExtractOutcome ExtractZip(const std::wstring& archive, const std::wstring& destination) override;
};

}  // namespace platform::win32
