// The process ends while worker threads are still inside OpenSSL, as it does
// when the wizard closes with event reports or image downloads in flight:
// ending must not free what those threads use. Each case runs in a fresh
// process (whatever first initialises OpenSSL decides how it ends, so this
// program loads only the core), many times, as the fault is a race.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <string>
#include <thread>

#include "platform/Sha256.h"
#include "platform/posix/PosixHttp.h"

namespace {

using namespace std::chrono_literals;

[[noreturn]] void EndWhileThreadsHash(const std::function<void()>& firstUse) {
  firstUse();
  for (int thread = 0; thread < 8; ++thread)
    std::thread([] {
      for (int round = 0; round < 50; ++round) platform::Sha256("x");
    }).detach();
  std::this_thread::sleep_for(150us);
  std::exit(0);
}

struct FirstUse {
  std::string name;
  std::function<void()> use;
  friend void PrintTo(const FirstUse& first, std::ostream* out) { *out << first.name; }
};

class ProcessEndTest : public testing::TestWithParam<FirstUse> {};

TEST_P(ProcessEndTest, LeavesTheThreadsOpenSslStateAlone) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (int run = 0; run < 50; ++run)
    EXPECT_EXIT(EndWhileThreadsHash(GetParam().use), testing::ExitedWithCode(0), "") << "run " << run;
}

INSTANTIATE_TEST_SUITE_P(OpenSsl, ProcessEndTest,
                         testing::Values(FirstUse{"Sha256", [] { platform::Sha256("first"); }},
                                         FirstUse{"Http", [] { platform::posix::PosixHttp http; }}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
