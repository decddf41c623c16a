#include "ui/headless/WindowThread.h"

namespace ui::headless {

WindowThread::WindowThread() {
  std::promise<std::shared_ptr<MessageQueue>> started;
  auto ready = started.get_future();
  thread = std::thread([this, &started] {
    started.set_value(MessageQueue::ForCurrentThread());
    MessageQueue::ForCurrentThread()->RunUntil([this] { return stopping; });
  });
  queue = ready.get();
}

WindowThread::~WindowThread() {
  Post([this] { stopping = true; });
  thread.join();
}

}  // namespace ui::headless
