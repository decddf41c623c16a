// Tasks run at once on free threads: none waits behind a busy one, none is
// lost when many arrive together from several threads.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "util/FreeThreads.h"

using namespace std::chrono_literals;

// The first task is still running (it waits for the second) when the second
// is handed over: the second gets a thread of its own.
TEST(FreeThreads, ATaskNeverWaitsForABusyThread) {
  auto secondRan = std::make_shared<std::promise<void>>();
  auto firstSawSecond = std::make_shared<std::promise<bool>>();
  RunOnFreeThread([secondRan, firstSawSecond] {
    firstSawSecond->set_value(secondRan->get_future().wait_for(10s) == std::future_status::ready);
  });
  RunOnFreeThread([secondRan] { secondRan->set_value(); });
  EXPECT_TRUE(firstSawSecond->get_future().get());
}

// Tasks handed over from four threads at once, while the earlier ones end
// and their threads become free: every task runs, once.
TEST(FreeThreads, EveryTaskOfABurstRuns) {
  constexpr int kPerSender = 200;
  struct Count {
    std::mutex mutex;
    std::condition_variable changed;
    int ran = 0;
  };
  auto count = std::make_shared<Count>();
  std::vector<std::thread> senders;
  for (int sender = 0; sender < 4; ++sender) {
    senders.emplace_back([count] {
      for (int i = 0; i < kPerSender; ++i) {
        RunOnFreeThread([count] {
          std::lock_guard lock(count->mutex);
          ++count->ran;
          count->changed.notify_all();
        });
      }
    });
  }
  for (auto& sender : senders) sender.join();
  std::unique_lock lock(count->mutex);
  EXPECT_TRUE(count->changed.wait_for(lock, 30s, [&] { return count->ran >= 4 * kPerSender; }));
  lock.unlock();
  std::this_thread::sleep_for(50ms);
  lock.lock();
  EXPECT_EQ(count->ran, 4 * kPerSender);
}
