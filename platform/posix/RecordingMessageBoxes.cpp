#include "platform/posix/RecordingMessageBoxes.h"

#include "platform/Win32Error.h"

namespace platform::posix {

int RecordingMessageBoxes::Show(const std::wstring& text, const std::wstring& caption, std::uint32_t style) {
  std::lock_guard lock(mutex);
  shown.push_back({text, caption, style});
  if (answers.empty()) return kIdOk;
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

void RecordingMessageBoxes::QueueAnswer(int answer) {
  std::lock_guard lock(mutex);
  answers.push_back(answer);
}

std::vector<ShownMessageBox> RecordingMessageBoxes::Shown() const {
  std::lock_guard lock(mutex);
  return shown;
}

}  // namespace platform::posix
