#include "ui/headless/MessageSink.h"

namespace ui::headless {

MessageSink::MessageSink() {
  handle = thread.Run([this] {
    auto& desktop = Desktop::Instance();
    std::lock_guard lock(desktop.Mutex());
    WindowState window;
    window.handler = this;
    return desktop.Add(std::move(window)).handle;
  });
}

MessageSink::~MessageSink() { Destroy(); }

void MessageSink::Destroy() {
  thread.Run([this] {
    auto& desktop = Desktop::Instance();
    std::lock_guard lock(desktop.Mutex());
    desktop.Remove(handle);
  });
}

void MessageSink::HandleMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  {
    std::lock_guard lock(mutex);
    messages.push_back({handle, message, wParam, lParam});
  }
  arrived.notify_all();
}

std::vector<PostedMessage> MessageSink::Messages() const {
  std::lock_guard lock(mutex);
  return messages;
}

bool MessageSink::WaitForMessages(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex);
  return arrived.wait_for(lock, timeout, [&] { return messages.size() >= count; });
}

}  // namespace ui::headless
