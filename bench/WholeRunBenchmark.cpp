// Measures the whole download-manager run natively, on the headless host
// and the reference server over TLS (run by hand or by scripts/bench; see
// bench/README.md):
//   - how long the window thread was busy without looking at its queue, at
//     most, during a run with a large product, many offers and their events;
//   - how long closing takes with many shown offers, from the confirmed
//     close until the host is gone;
//   - how long unpacking a ZIP offer takes, which the download pages do on
//     the window thread, per 10 MB of archive.
//
//   brimvale_whole_run_benchmark [product MiB] [offers] [zip MiB]   (256 20 50)
//
// It drives the integration tests' whole-run fixture outside a test run, so
// the figures come from exactly the code path those tests check.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>

#include "install/ArchiveHandling.h"
#include "tests/fakes/ZipBuilder.h"
#include "tests/integration/WholeRunHarness.h"

namespace {

using Clock = std::chrono::steady_clock;
using wholerun::json;

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

// Bytes that do not compress, so an archive is as large as its content.
std::string Noise(std::size_t size) {
  std::mt19937_64 random(42);
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i + 8 <= size; i += 8) {
    const std::uint64_t value = random();
    std::memcpy(bytes.data() + i, &value, 8);
  }
  return bytes;
}

// The fixture, used outside a test: its steps report problems through
// GoogleTest's assertions, which the program checks after each run.
class Run : public wholerun::WholeRunTest {
 public:
  void TestBody() override {}
  using WholeRunTest::catalogue;
  using WholeRunTest::configuration;
  using WholeRunTest::CurrentPage;
  using WholeRunTest::CurrentWindow;
  using WholeRunTest::HostWindow;
  using WholeRunTest::driver;
  using WholeRunTest::host;
  using WholeRunTest::PassLanguageAndWelcome;
  using WholeRunTest::result;
  using WholeRunTest::SetUp;
  using WholeRunTest::Serve;
  using WholeRunTest::Start;
  using WholeRunTest::StoredCount;
  using WholeRunTest::TearDown;
  using WholeRunTest::thread;
  using WholeRunTest::WaitForPage;
  using WholeRunTest::WaitForStoredEvents;

  // Serves the answer with a product of `productBytes`, starts the run and
  // takes it past the language and welcome pages.
  bool Begin(const json& answer, std::size_t productBytes) {
    SetUp();
    Serve(answer);
    if (productBytes) {
      std::ofstream out(catalogue.Folder() / "files" / "BrimvaleProduct.exe", std::ios::binary);
      const std::string block = Noise(1 << 20);
      for (std::size_t written = 0; written < productBytes; written += block.size()) out << block;
    }
    Start("DLM");
    return PassLanguageAndWelcome();
  }

  // Accepts each offer as its page comes.
  bool AcceptOffers(int offers) {
    for (int i = 0; i < offers; ++i) {
      if (!WaitForPage(L"ProductPage")) return false;
      const unsigned page = CurrentPage();
      if (!driver.Click(CurrentWindow(), ids::kAcceptButton)) return false;
      if (!driver.WaitFor([&] { return CurrentPage() != page; })) return false;
    }
    return true;
  }
};

json Offers(int count) {
  std::vector<json> offers;
  for (int i = 0; i < count; ++i) {
    char id[16];
    std::snprintf(id, sizeof id, "O%02d", i);
    offers.push_back(wholerun::Offer(id, {{"v", i + 1}}));
  }
  return wholerun::Answer(offers, count);
}

bool Failed(const char* what) {
  if (!testing::Test::HasFailure()) return false;
  std::fprintf(stderr, "%s: the run did not go as the tests expect it to\n", what);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const std::size_t productMiB = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 256;
  const int offers = argc > 2 ? std::atoi(argv[2]) : 20;
  const std::size_t zipMiB = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 50;
  double longestBusyMs = 0, closingMs = 0, zipMsPer10MB = 0;

  // 1. The window thread's longest busy stretch over a whole run: by the
  // clock, and by the thread's own processor time, which leaves out the
  // time it waited for a processor on a busy machine.
  ui::headless::MessageQueue::BusyStretch longest{}, longestProcessor{};
  {
    Run run;
    std::size_t stretches = 0;
    if (!run.Begin(Offers(offers), productMiB << 20)) return Failed("start"), 1;
    run.thread.Run([&] {
      ui::headless::MessageQueue::ForCurrentThread()->SetBusyObserver([&](const auto& stretch) {
        if (stretch.wall > longest.wall) longest = stretch;
        if (stretch.processor > longestProcessor.processor) longestProcessor = stretch;
        ++stretches;
      });
    });
    const auto start = Clock::now();
    run.driver = ui::headless::Driver(std::chrono::minutes(10));
    if (!run.AcceptOffers(offers) || !run.WaitForPage(L"FinishPageDLM")) return Failed("run"), 1;
    const auto elapsed = Clock::now() - start;
    run.thread.Run([] { ui::headless::MessageQueue::ForCurrentThread()->SetBusyObserver(nullptr); });
    run.WaitForStoredEvents(static_cast<std::size_t>(offers) + 2);
    longestBusyMs = Milliseconds(longest.wall);
    std::printf("window thread: longest busy stretch %.2f ms (%.2f ms processor, message 0x%x), most processor "
                "time in one stretch %.2f ms (message 0x%x), over %zu stretches (%zu MiB product, %d offers, "
                "%zu events, run %.1f s)\n",
                Milliseconds(longest.wall), Milliseconds(longest.processor), longest.message,
                Milliseconds(longestProcessor.processor), longestProcessor.message, stretches, productMiB, offers,
                run.StoredCount(), std::chrono::duration<double>(elapsed).count());
    run.TearDown();
    if (Failed("run")) return 1;
  }

  // 2. Closing with every offer shown and none of them reported yet.
  {
    Run run;
    if (!run.Begin(Offers(offers), 0)) return Failed("start"), 1;
    if (!run.AcceptOffers(offers - 1) || !run.WaitForPage(L"ProductPage")) return Failed("offers"), 1;
    const auto before = run.StoredCount();
    if (!run.driver.Close(run.HostWindow())) return Failed("close"), 1;
    run.driver.WaitFor([] { return !ui::headless::Driver::MessageBoxes().empty(); });
    const auto start = Clock::now();
    run.driver.AnswerMessageBox(platform::kIdOk);
    run.result.wait();
    run.thread.Run([&] { run.host.reset(); });
    const auto elapsed = Clock::now() - start;
    closingMs = Milliseconds(elapsed);
    std::printf("closing: %.0f ms from the confirmed close to the host's end, %zu final events stored\n",
                Milliseconds(elapsed), run.StoredCount() - before);
    run.TearDown();
    if (Failed("closing")) return 1;
  }

  // 3. Unpacking a ZIP offer on the window thread.
  {
    fakes::TestServices machine;
    const auto archive = machine.scratch.Path() / "offer.zip";
    fakes::WriteZip(archive, {{.name = "setup.exe", .content = Noise(zipMiB << 20)}});
    const auto start = Clock::now();
    const std::wstring program =
        ResolveExecutable(machine.Bundle(), archive.wstring(), ZipArchive, machine.scratch.Wide());
    const auto elapsed = Clock::now() - start;
    if (!program.ends_with(L"setup.exe")) return std::fprintf(stderr, "zip: nothing unpacked\n"), 1;
    zipMsPer10MB = Milliseconds(elapsed) * 10e6 / static_cast<double>(zipMiB << 20);
    std::printf("zip extraction: %.1f ms for %zu MiB, %.1f ms per 10 MB\n", Milliseconds(elapsed), zipMiB,
                zipMsPer10MB);
  }
  // One line for scripts/bench.
  std::printf("summary {\"productMiB\": %zu, \"offers\": %d, \"longestBusyMs\": %.2f, "
              "\"longestBusyProcessorMs\": %.2f, \"mostProcessorMs\": %.2f, \"closingMs\": %.1f, "
              "\"zipMsPer10MB\": %.1f}\n",
              productMiB, offers, longestBusyMs, Milliseconds(longest.processor),
              Milliseconds(longestProcessor.processor), closingMs, zipMsPer10MB);
  return 0;
}
