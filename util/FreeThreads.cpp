#include "util/FreeThreads.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

// How long a free thread waits for a task before it ends.
constexpr std::chrono::seconds kIdleLifetime{10};

struct FreeThreads {
  std::mutex mutex;
  std::condition_variable taskQueued;
  std::deque<std::function<void()>> tasks;  // handed over, not yet taken
  int freeThreads = 0;                      // waiting for a task
};

// Never destroyed: detached threads may still wait on it while the process
// ends.
FreeThreads& Threads() {
  static FreeThreads* const threads = new FreeThreads;
  return *threads;
}

void Work(FreeThreads& threads) {
  std::unique_lock lock(threads.mutex);
  for (;;) {
    while (!threads.tasks.empty()) {
      std::function<void()> task = std::move(threads.tasks.front());
      threads.tasks.pop_front();
      lock.unlock();
      task();
      task = nullptr;  // what the task holds goes before the thread counts as free
      lock.lock();
    }
    ++threads.freeThreads;
    const bool queued =
        threads.taskQueued.wait_for(lock, kIdleLifetime, [&] { return !threads.tasks.empty(); });
    --threads.freeThreads;
    if (!queued) return;
  }
}

}  // namespace

void RunOnFreeThread(std::function<void()> task) {
  FreeThreads& threads = Threads();
  std::unique_lock lock(threads.mutex);
  // Each queued task has a free thread of its own, or it gets a new one.
  if (static_cast<int>(threads.tasks.size()) < threads.freeThreads) {
    threads.tasks.push_back(std::move(task));
    threads.taskQueued.notify_one();
    return;
  }
  threads.tasks.push_back(std::move(task));
  try {
    std::thread(Work, std::ref(threads)).detach();
  } catch (...) {
    threads.tasks.pop_back();
    throw;
  }
}
