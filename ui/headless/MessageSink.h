// A headless window that records the messages posted to it, for tests of
// workers that report to a window (progress, completion). It runs on a
// window thread of its own.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <vector>

#include "ui/PostedMessages.h"
#include "ui/headless/Desktop.h"
#include "ui/headless/WindowThread.h"

namespace ui::headless {

class MessageSink : private WindowHandler {
 public:
  MessageSink();
  ~MessageSink() override;

  WindowHandle Handle() const { return handle; }
  // The messages handled so far, in the order they arrived.
  std::vector<PostedMessage> Messages() const;
  // Waits until at least `count` messages have been handled.
  bool WaitForMessages(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
  // Destroys the window: later posts fail.
  void Destroy();

 private:
  void HandleMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

  WindowThread thread;
  WindowHandle handle = 0;
  mutable std::mutex mutex;
  mutable std::condition_variable arrived;
  std::vector<PostedMessage> messages;
};

}  // namespace ui::headless
