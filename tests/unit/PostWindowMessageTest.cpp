#include <gtest/gtest.h>

#include <thread>

#include "ui/PostedMessages.h"
#include "ui/headless/MessageSink.h"

namespace {

using ui::headless::MessageSink;

// Messages posted from several worker threads all arrive, each thread's in the order it posted them.
TEST(PostWindowMessageTest, DeliversMessagesFromWorkersInOrderPerThread) {
  MessageSink sink;
  constexpr int kPerThread = 200;
  std::vector<std::thread> workers;
  for (int worker = 0; worker < 3; ++worker) {
    workers.emplace_back([&, worker] {
      for (int i = 0; i < kPerThread; ++i)
        ASSERT_TRUE(ui::PostWindowMessage(sink.Handle(), ui::WM_DOWNLOAD_PROGRESS, i, worker));
    });
  }
  for (auto& thread : workers) thread.join();
  ASSERT_TRUE(sink.WaitForMessages(3 * kPerThread));

  std::vector<std::uintptr_t> next(3, 0);
  for (const auto& message : sink.Messages()) {
    EXPECT_EQ(message.message, ui::WM_DOWNLOAD_PROGRESS);
    EXPECT_EQ(message.wParam, next[message.lParam]++);
  }
}

// Posting to a window that is gone, or to no window, fails harmlessly.
TEST(PostWindowMessageTest, FailsForAWindowThatIsGone) {
  MessageSink sink;
  const ui::WindowHandle handle = sink.Handle();
  sink.Destroy();
  EXPECT_FALSE(ui::PostWindowMessage(handle, ui::WM_WIZARD_LOAD_COMPLETE, 0, 0));
  EXPECT_FALSE(ui::PostWindowMessage(0, ui::WM_WIZARD_LOAD_COMPLETE, 0, 0));
}

}  // namespace
