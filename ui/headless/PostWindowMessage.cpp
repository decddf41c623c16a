// Posting natively: the message joins the queue of the thread that owns the
// headless window.
#include "ui/PostedMessages.h"
#include "ui/headless/Desktop.h"

namespace ui {

bool PostWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  const auto queue = headless::Desktop::Instance().QueueOf(window);
  if (!queue) return false;
  queue->Post({window, message, wParam, lParam});
  return true;
}

}  // namespace ui
