// The message queue of one headless window thread: messages posted to its
// windows from any thread, tasks from tests, and window timers, handled in
// order by the loops that run on the thread (a modal dialog's loop, a
// message box's loop). A thread that waits with nothing to do is idle, which
// is what tests wait for.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <variant>
#include <vector>

#include "ui/PostedMessages.h"

namespace ui::headless {

struct PostedMessage {
  WindowHandle window = 0;
  std::uint32_t message = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
};

class MessageQueue {
 public:
  // The queue of the calling thread, created on first use.
  static std::shared_ptr<MessageQueue> ForCurrentThread();

  std::thread::id Thread() const { return thread; }
  bool IsCurrentThread() const { return std::this_thread::get_id() == thread; }

  // Any thread.
  void Post(const PostedMessage& message);
  void PostTask(std::function<void()> task);

  // Window thread: WM_TIMER for (window, id) every period until killed.
  void SetTimer(WindowHandle window, std::uintptr_t id, unsigned periodMilliseconds);
  void KillTimer(WindowHandle window, std::uintptr_t id);
  void KillTimers(WindowHandle window);

  // Window thread: handles messages, tasks and due timers until done()
  // holds; done() is tested before each wait.
  void RunUntil(const std::function<bool()>& done);

  // Any thread: waits until the queue's thread waits in a loop with nothing
  // to handle. False when that did not happen within the timeout.
  bool WaitUntilIdle(std::chrono::milliseconds timeout);

  // Window thread: told about each stretch in which the thread handled one
  // item without looking at its queue again, for measurements of
  // responsiveness. A loop nested in a handler ends the stretch of the item
  // that started it; the item's stretch resumes when the loop ends.
  struct BusyStretch {
    std::chrono::steady_clock::duration wall;
    // The thread's own processor time in the stretch: on a busy machine
    // the wall time also holds the time the thread waited for a processor.
    std::chrono::nanoseconds processor;
    // The message it handled, 0 for a task.
    std::uint32_t message;
  };
  using BusyObserver = std::function<void(const BusyStretch&)>;
  void SetBusyObserver(BusyObserver observer) { busyObserver = std::move(observer); }

 private:
  using Clock = std::chrono::steady_clock;
  struct Timer {
    WindowHandle window;
    std::uintptr_t id;
    std::chrono::milliseconds period;
    Clock::time_point due;
  };
  using Item = std::variant<PostedMessage, std::function<void()>>;

  MessageQueue() : thread(std::this_thread::get_id()) {}
  // Reports and ends the current busy stretch, if any.
  void EndBusyStretch();
  void BeginBusyStretch(std::uint32_t message);

  std::thread::id thread;
  std::mutex mutex;
  std::condition_variable wake;
  std::condition_variable idleChanged;
  std::deque<Item> items;
  std::vector<Timer> timers;
  bool idle = false;
  BusyObserver busyObserver;                  // window thread only
  std::optional<Clock::time_point> busySince;  // window thread only
  std::chrono::nanoseconds busyProcessorSince{};  // window thread only
  std::uint32_t busyMessage = 0;                  // window thread only
};

}  // namespace ui::headless
