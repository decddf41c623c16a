#include "ui/headless/MessageQueue.h"

#include <algorithm>
#include <ctime>

#include "ui/headless/Desktop.h"

namespace ui::headless {
namespace {

std::chrono::nanoseconds ThreadProcessorTime() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

}  // namespace

std::shared_ptr<MessageQueue> MessageQueue::ForCurrentThread() {
  thread_local std::shared_ptr<MessageQueue> queue(new MessageQueue());
  return queue;
}

void MessageQueue::Post(const PostedMessage& message) {
  {
    std::lock_guard lock(mutex);
    items.emplace_back(message);
    idle = false;
  }
  wake.notify_all();
}

void MessageQueue::PostTask(std::function<void()> task) {
  {
    std::lock_guard lock(mutex);
    items.emplace_back(std::move(task));
    idle = false;
  }
  wake.notify_all();
}

void MessageQueue::SetTimer(WindowHandle window, std::uintptr_t id, unsigned periodMilliseconds) {
  std::lock_guard lock(mutex);
  const auto period = std::chrono::milliseconds(std::max(periodMilliseconds, 1u));
  std::erase_if(timers, [&](const Timer& timer) { return timer.window == window && timer.id == id; });
  timers.push_back({window, id, period, Clock::now() + period});
}

void MessageQueue::KillTimer(WindowHandle window, std::uintptr_t id) {
  std::lock_guard lock(mutex);
  std::erase_if(timers, [&](const Timer& timer) { return timer.window == window && timer.id == id; });
}

void MessageQueue::KillTimers(WindowHandle window) {
  std::lock_guard lock(mutex);
  std::erase_if(timers, [&](const Timer& timer) { return timer.window == window; });
}

void MessageQueue::RunUntil(const std::function<bool()>& done) {
  const bool nested = busySince.has_value();
  const std::uint32_t nestedMessage = busyMessage;
  EndBusyStretch();
  while (!done()) {
    Item item;
    std::unique_lock lock(mutex);
    for (;;) {
      if (!items.empty()) {
        item = std::move(items.front());
        items.pop_front();
        break;
      }
      // As on Windows, a timer fires only when nothing else waits, and a
      // late timer fires once.
      const auto now = Clock::now();
      auto due = std::ranges::min_element(timers, {}, &Timer::due);
      if (due != timers.end() && due->due <= now) {
        due->due = now + due->period;
        item = PostedMessage{due->window, kWmTimer, due->id, 0};
        break;
      }
      idle = true;
      idleChanged.notify_all();
      if (due == timers.end()) {
        wake.wait(lock);
      } else {
        wake.wait_until(lock, due->due);
      }
      idle = false;
    }
    lock.unlock();
    if (auto* message = std::get_if<PostedMessage>(&item)) {
      BeginBusyStretch(message->message);
      Desktop::Instance().Deliver(*message);
    } else {
      BeginBusyStretch(0);
      std::get<std::function<void()>>(item)();
    }
    EndBusyStretch();
  }
  if (nested) BeginBusyStretch(nestedMessage);
}

void MessageQueue::BeginBusyStretch(std::uint32_t message) {
  busySince = Clock::now();
  busyMessage = message;
  busyProcessorSince = ThreadProcessorTime();
}

void MessageQueue::EndBusyStretch() {
  if (!busySince) return;
  if (busyObserver) busyObserver({Clock::now() - *busySince, ThreadProcessorTime() - busyProcessorSince, busyMessage});
  busySince.reset();
}

bool MessageQueue::WaitUntilIdle(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex);
  return idleChanged.wait_for(lock, timeout, [&] { return idle && items.empty(); });
}

}  // namespace ui::headless
