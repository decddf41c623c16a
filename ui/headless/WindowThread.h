// A window thread for native tests: a thread that runs a message loop until
// the object goes away. Dialogs created by code it runs belong to it.
#pragma once

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <thread>
#include <type_traits>

#include "ui/headless/MessageQueue.h"

namespace ui::headless {

class WindowThread {
 public:
  WindowThread();
  // Stops the loop once the work queued before has run, and joins.
  ~WindowThread();
  WindowThread(const WindowThread&) = delete;
  WindowThread& operator=(const WindowThread&) = delete;

  MessageQueue& Queue() { return *queue; }

  // Queues work for the thread and returns at once.
  void Post(std::function<void()> work) { queue->PostTask(std::move(work)); }

  // Runs work on the thread and returns its result (rethrowing what it
  // threw). Work that starts a modal loop returns when that loop ends.
  template <typename Work>
  auto Run(Work&& work) -> std::invoke_result_t<Work> {
    using Result = std::invoke_result_t<Work>;
    auto task = std::make_shared<std::packaged_task<Result()>>(std::forward<Work>(work));
    auto result = task->get_future();
    Post([task] { (*task)(); });
    return result.get();
  }

  // Waits until the thread waits with nothing to do.
  bool WaitUntilIdle(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    return queue->WaitUntilIdle(timeout);
  }

 private:
  std::shared_ptr<MessageQueue> queue;
  bool stopping = false;  // window thread only
  std::thread thread;
};

}  // namespace ui::headless
