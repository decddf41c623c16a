#include "platform/posix/RecordingDebugOutput.h"

namespace platform::posix {

void RecordingDebugOutput::Write(const std::wstring& text) {
  std::lock_guard lock(mutex);
  lines.push_back(text);
}

std::vector<std::wstring> RecordingDebugOutput::Lines() const {
  std::lock_guard lock(mutex);
  return lines;
}

}  // namespace platform::posix
