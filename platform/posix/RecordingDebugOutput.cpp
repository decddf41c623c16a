#include "platform/posix/RecordingDebugOutput.h"

namespace platform::posix {

void RecordingDebugOutput::Write(const std::wstring& text) {
  std::lock_guard lock(mutex);
  lines.push_back(text);
}

void RecordingDebugOutput::WriteDiagnostic(const std::string& line) {
  std::lock_guard lock(mutex);
  diagnostics.push_back(line);
}

std::vector<std::wstring> RecordingDebugOutput::Lines() const {
  std::lock_guard lock(mutex);
  return lines;
}

std::vector<std::string> RecordingDebugOutput::Diagnostics() const {
  std::lock_guard lock(mutex);
  return diagnostics;
}

}  // namespace platform::posix
