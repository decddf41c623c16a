// Message boxes of the native build: nobody can see them, so each is
// recorded and answered from a queue of answers (OK when it is empty).
#pragma once

#include <deque>
#include <mutex>
#include <vector>

#include "platform/MessageBoxes.h"

namespace platform::posix {

struct ShownMessageBox {
  std::wstring text;
  std::wstring caption;
  std::uint32_t style = 0;
};

class RecordingMessageBoxes : public MessageBoxes {
 public:
  int Show(const std::wstring& text, const std::wstring& caption, std::uint32_t style) override;

  void QueueAnswer(int answer);
  std::vector<ShownMessageBox> Shown() const;

 private:
  mutable std::mutex mutex;
  std::deque<int> answers;
  std::vector<ShownMessageBox> shown;
};

}  // namespace platform::posix
