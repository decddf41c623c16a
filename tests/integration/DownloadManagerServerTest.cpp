// DownloadFile and DownloadToMemory over real TLS against the reference
// server and its fault injection; both transports run on libcurl here.
#include "install/DownloadManager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "config/ConfigurationManager.h"
#include "config/RequestSignature.h"
#include "platform/SystemErrorText.h"
#include "platform/posix/PosixInternet.h"
#include "tests/fixtures/ReferenceServer.h"
#include "ui/headless/MessageSink.h"
#include "util/Utf8.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

constexpr std::uint32_t kFlushed = ui::kWmUser + 100;

std::string Pattern(std::size_t count) {
  std::string bytes(count, '\0');
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>(i * 7 % 251);
  return bytes;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::wstring FileUrl(const std::string& name) { return testserver::ProductUrl(L"/files/" + Utf8ToWide(name)); }

std::wstring SystemText(platform::Win32Error code) { return platform::GetSystemErrorText(code); }

class DownloadServerTest : public testing::Test {
 protected:
  // Serves `files` under /files/ with the faults given per file name.
  void Serve(const std::map<std::string, std::string>& files, const json& faults = json::object()) {
    json index = {{"configuration", {{"/o", {{"body", "{}"}}}}}, {"faults", json::object()}};
    for (const auto& [name, plan] : faults.items()) index["faults"]["/files/" + name] = plan;
    catalogue.SetIndex(index);
    for (const auto& [name, content] : files) catalogue.Write("files/" + name, content);
    server = std::make_unique<testserver::ReferenceServer>(catalogue);
    machine.http = server->Http();
    machine.internet = std::make_shared<platform::posix::PosixInternet>(server->Settings());
    fs::create_directories(machine.scratch.Path() / "Downloads");
    fs::create_directories(machine.scratch.Path() / "work");
    configuration = std::make_shared<ConfigurationManager>(machine.Bundle(), BuiltInSettings{.wizardKey = "DLM"});
    configuration->downloadFolder = machine.scratch.Wide() + L"\\Downloads";
    configuration->workFolder = machine.scratch.Wide() + L"\\work";
    manager = std::make_shared<DownloadManager>(configuration);
  }

  DownloadResult Download(const std::string& name, const std::wstring& fileName = L"setup.exe",
                          const std::string& sha256 = "") {
    const DownloadResult result = manager->DownloadFile(FileUrl(name), sink.Handle(), fileName, false, sha256);
    // The download posted from this thread: once this arrives, all of its messages have.
    ui::PostWindowMessage(sink.Handle(), kFlushed, 0, 0);
    while (Messages().empty() || Messages().back().message != kFlushed) sink.WaitForMessages(Messages().size() + 1);
    return result;
  }
  std::vector<ui::headless::PostedMessage> Messages() const { return sink.Messages(); }
  std::vector<std::uintptr_t> Progress() const {
    std::vector<std::uintptr_t> percents;
    for (const auto& message : Messages())
      if (message.message == ui::WM_DOWNLOAD_PROGRESS) percents.push_back(message.wParam);
    return percents;
  }
  std::size_t SizeUnknownCount() const {
    std::size_t count = 0;
    for (const auto& message : Messages()) count += message.message == ui::WM_DOWNLOAD_SIZE_UNKNOWN;
    return count;
  }
  fs::path Downloaded(const std::string& name = "setup.exe") const {
    return machine.scratch.Path() / "Downloads" / name;
  }

  fakes::TestServices machine;
  testserver::TestCatalogue catalogue;
  std::unique_ptr<testserver::ReferenceServer> server;
  std::shared_ptr<ConfigurationManager> configuration;
  std::shared_ptr<DownloadManager> manager;
  ui::headless::MessageSink sink;
};

}  // namespace

// A whole file arrives with progress at most once per percentage point, ending at 100.
TEST_F(DownloadServerTest, DownloadsAFileWithRateLimitedProgress) {
  const std::string content = Pattern(3 * 1024 * 1024 + 17);
  Serve({{"big.bin", content}});
  EXPECT_EQ(Download("big.bin"), (DownloadResult{true, L""}));
  EXPECT_EQ(ReadAll(Downloaded()), content);
  EXPECT_EQ(manager->LastFilePath(), configuration->downloadFolder + L"\\setup.exe");
  const auto progress = Progress();
  ASSERT_FALSE(progress.empty());
  // Rising by more than a point each time; the closing 100 may repeat the last.
  EXPECT_LE(progress.size(), 102u);
  for (std::size_t i = 1; i + 1 < progress.size(); ++i) EXPECT_GT(progress[i], progress[i - 1]);
  EXPECT_LE(progress[progress.size() - 2], 100u);
  EXPECT_EQ(progress.back(), 100u);
  EXPECT_EQ(SizeUnknownCount(), 0u);
  EXPECT_TRUE(machine.clock->Sleeps().empty());
}

// Five redirects are followed; a sixth fails the first transfer, and the second follows them itself.
TEST_F(DownloadServerTest, FollowsFiveRedirectsAndFallsBackAfterASixth) {
  Serve({{"five.exe", "five"}, {"six.exe", "six"}}, {{"five.exe", {{"redirects", 5}}}, {"six.exe", {{"redirects", 6}}}});
  EXPECT_EQ(Download("five.exe"), (DownloadResult{true, L""}));
  EXPECT_EQ(ReadAll(Downloaded()), "five");
  EXPECT_TRUE(machine.clock->Sleeps().empty());

  EXPECT_EQ(Download("six.exe"), (DownloadResult{true, L"[WINHTTP] Too many redirects."}));
  EXPECT_EQ(ReadAll(Downloaded()), "six");
  EXPECT_EQ(machine.clock->Sleeps(), std::vector<std::uint32_t>{2000});
}

// A Location longer than the 129-character buffer fails the first transfer cleanly.
TEST_F(DownloadServerTest, RefusesALocationLongerThanItsBuffer) {
  const std::string name = std::string(120, 'n') + ".exe";
  Serve({{name, "long"}}, {{name, {{"redirects", 1}}}});
  EXPECT_EQ(Download(name),
            (DownloadResult{true, L"[WINHTTP] Failed to read redirect location: 122 - " + SystemText(122)}));
  EXPECT_EQ(ReadAll(Downloaded()), "long");
}

// Any 2xx completes the first transfer; the second accepts only 200.
TEST_F(DownloadServerTest, AcceptsNoContentOnlyOnTheFirstTransfer) {
  Serve({{"empty.exe", "body"}}, {{"empty.exe", {{"statuses", {204, 204}}}}});
  EXPECT_EQ(Download("empty.exe"), (DownloadResult{true, L""}));
  EXPECT_EQ(ReadAll(Downloaded()), "");

  const DownloadResult fallback = manager->DownloadFileFallback(FileUrl("empty.exe"), 0, L"other.exe", false);
  EXPECT_FALSE(fallback.first);
  EXPECT_TRUE(fallback.second.starts_with(L" [WININET] Server returned status code: HTTP 204 - "))
      << WideToUtf8(fallback.second);
}

// Without Content-Length: one size-unknown message, no percentages, whatever arrived is kept.
TEST_F(DownloadServerTest, AcceptsABodyOfUnknownLength) {
  const std::string content = Pattern(300 * 1024);
  Serve({{"chunked.exe", content}}, {{"chunked.exe", {{"contentLength", false}}}});
  EXPECT_EQ(Download("chunked.exe"), (DownloadResult{true, L""}));
  EXPECT_EQ(ReadAll(Downloaded()), content);
  EXPECT_EQ(SizeUnknownCount(), 1u);
  EXPECT_TRUE(Progress().empty());
}

// A body cut short fails both transfers; the texts are joined and no file is left.
TEST_F(DownloadServerTest, FailsBothTransfersOnAShortBody) {
  Serve({{"short.exe", Pattern(1000)}}, {{"short.exe", {{"cutAfter", 600}}}});
  const std::wstring incomplete = L"Download was incomplete: content length: 1000, downloaded: 600";
  EXPECT_EQ(Download("short.exe"), (DownloadResult{false, L"[WINHTTP] " + incomplete + L" [WININET] " + incomplete}));
  EXPECT_FALSE(fs::exists(Downloaded()));
  EXPECT_EQ(manager->LastFilePath(), L"");
  EXPECT_EQ(machine.clock->Sleeps(), std::vector<std::uint32_t>{2000});
}

// Cancelling (the wizard closes) stops the transfer under way, the first or
// the second, and leaves no partial file; no second transfer follows.
TEST_F(DownloadServerTest, CancellationStopsTheTransferAndRemovesTheFile) {
  const std::string content = Pattern(256 * 1024);
  const json slow = {{"bytesPerSecond", 64 * 1024}};
  const struct {
    json faults;
    std::wstring stoppedBy;  // what the error text ends with
    std::size_t sleeps;      // the pause before a second transfer
  } cases[] = {
      {slow, L"[WINHTTP] Download cancelled.", 0},
      // The first transfer is refused, the second is the slow one.
      {{{"statuses", {500}}, {"bytesPerSecond", 64 * 1024}}, L" [WININET] Download cancelled.", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.faults.dump());
    Serve({{"slow.exe", content}}, {{"slow.exe", c.faults}});
    const std::size_t progressBefore = Progress().size();
    const std::size_t sleepsBefore = machine.clock->Sleeps().size();
    std::thread canceller([&] {
      for (int i = 0; i < 50 && Progress().size() == progressBefore; ++i)
        sink.WaitForMessages(Messages().size() + 1, std::chrono::milliseconds(100));
      manager->cancelled = true;
    });
    const DownloadResult result = Download("slow.exe");
    canceller.join();
    EXPECT_FALSE(result.first);
    EXPECT_TRUE(result.second.starts_with(L"[WINHTTP] ")) << WideToUtf8(result.second);
    EXPECT_TRUE(result.second.ends_with(c.stoppedBy)) << WideToUtf8(result.second);
    EXPECT_FALSE(fs::exists(Downloaded()));
    EXPECT_EQ(machine.clock->Sleeps().size() - sleepsBefore, c.sleeps);
  }
}

// What must not run is not kept: a file without the answer's digest (no
// second transfer: the server would send the same bytes), a web page where
// a program was expected, a program reached by a redirect from https to
// http. Each leaves no file behind.
TEST_F(DownloadServerTest, KeepsNothingThatMustNotRun) {
  const std::string program = "MZ program";
  const std::string programDigest = Sha256Hex(program);
  const std::string otherDigest = Sha256Hex("another program");
  const std::wstring webPage = L"Download failed: the server sent a web page instead of the file.";
  const struct {
    std::string name;
    std::string content;
    json faults;
    std::string sha256;
    DownloadResult result;
    std::size_t sleeps;  // the pause before a second transfer
  } cases[] = {
      {"checked.exe", program, json::object(), programDigest, {true, L""}, 0},
      {"checked.exe", program, json::object(), otherDigest, {false, kChecksumMismatch}, 0},
      // The first transfer is refused; the second gets the wrong bytes.
      {"checked.exe", program, {{"statuses", {500}}}, otherDigest, {false, kChecksumMismatch}, 1},
      // Without Content-Length the digest is checked all the same.
      {"checked.exe", program, {{"contentLength", false}}, otherDigest, {false, kChecksumMismatch}, 0},
      // A cut body keeps its own text: it is incomplete before it is wrong.
      {"cut.exe", program, {{"cutAfter", 4}}, programDigest,
       {false, L"[WINHTTP] Download was incomplete: content length: 10, downloaded: 4 [WININET] Download was "
               L"incomplete: content length: 10, downloaded: 4"},
       1},
      {"portal.exe", "\r\n  <!DOCTYPE html><title>Sign in</title>", json::object(), "",
       {false, L"[WINHTTP] " + webPage + L" [WININET] " + webPage}, 1},
      {"downgraded.exe", program,
       {{"redirects", 1}, {"redirectTo", "http://cdn.brimvale.com/files/downgraded.exe"}}, "",
       {false, L"[WINHTTP] Redirect from HTTPS to HTTP refused. [WININET] Failed to open URL:: 12040 - "}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name + " " + c.faults.dump() + " " + c.sha256);
    Serve({{c.name, c.content}}, {{c.name, c.faults}});
    const std::size_t sleepsBefore = machine.clock->Sleeps().size();
    EXPECT_EQ(Download(c.name, L"setup.exe", c.sha256), c.result);
    EXPECT_EQ(fs::exists(Downloaded()), c.result.first);
    EXPECT_EQ(machine.clock->Sleeps().size() - sleepsBefore, c.sleeps);
    if (c.result.first) {
      EXPECT_EQ(ReadAll(Downloaded()), c.content);
    }
  }
}

// Without a file name the URL's last part names the file; names that are no plain file name fail at the output file.
TEST_F(DownloadServerTest, NamesTheFileAfterTheUrl) {
  Serve({{"setup.exe", "named"}});
  EXPECT_EQ(Download("setup.exe", L""), (DownloadResult{true, L""}));
  EXPECT_EQ(ReadAll(Downloaded("setup.exe")), "named");

  const std::wstring refused = L"Failed to open file for writing: 123 - " + SystemText(123);
  EXPECT_EQ(Download("setup.exe?x=1", L""), (DownloadResult{false, L"[WINHTTP] " + refused + L" [WININET] " + refused}));
  EXPECT_EQ(Download("setup.exe", L".."), (DownloadResult{false, L"[WINHTTP] " + refused + L" [WININET] " + refused}));
  // Nothing was written beside the one file, nor above its folder.
  EXPECT_EQ(std::distance(fs::directory_iterator(machine.scratch.Path() / "Downloads"), fs::directory_iterator()), 1);
  EXPECT_FALSE(fs::exists(machine.scratch.Path() / "setup.exe"));
}

// A missing folder shows "Invalid path" once per transfer and both fail at the output file.
TEST_F(DownloadServerTest, ReportsAMissingFolder) {
  Serve({{"setup.exe", "x"}});
  EXPECT_EQ(Download("setup.exe"), (DownloadResult{true, L""}));
  configuration->downloadFolder = machine.scratch.Wide() + L"\\missing";
  const std::wstring missing = L"Failed to open file for writing: 3 - " + SystemText(3);
  EXPECT_EQ(Download("setup.exe"), (DownloadResult{false, L"[WINHTTP] " + missing + L" [WININET] " + missing}));
  const auto shown = machine.messageBoxes->Shown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].text, L"Invalid path");
  EXPECT_EQ(shown[1].text, L"Invalid path");
  EXPECT_EQ(manager->LastFilePath(), machine.scratch.Wide() + L"\\Downloads\\setup.exe");
}

// Images come into memory with their own user agent; failures, oversize answers and redirect loops give nothing.
TEST_F(DownloadServerTest, DownloadsSmallResourcesIntoMemory) {
  const std::string image = Pattern(40 * 1024);
  Serve({{"image.png", image},
         {"huge.png", Pattern(kMaxMemoryDownload + 1)},
         {"limit.png", Pattern(kMaxMemoryDownload)},
         {"loop.png", "x"}},
        {{"loop.png", {{"redirects", 6}}}, {"image.png", {{"statuses", {503}}}}});
  // The first attempt meets a 503; the second succeeds.
  auto bytes = manager->DownloadToMemory(FileUrl("image.png"));
  EXPECT_EQ(std::string(bytes->begin(), bytes->end()), image);
  const auto requests = server->Query("SELECT headers FROM requests WHERE target = '/files/image.png'");
  ASSERT_EQ(requests.size(), 2u);
  const json headers = json::parse(requests[1][0]);
  EXPECT_EQ(headers.value("User-Agent", ""), "A WinHTTP Example Program/1.0");

  EXPECT_EQ(manager->DownloadToMemory(FileUrl("limit.png"))->size(), kMaxMemoryDownload);
  EXPECT_TRUE(manager->DownloadToMemory(FileUrl("huge.png"))->empty());
  EXPECT_TRUE(manager->DownloadToMemory(FileUrl("missing.png"))->empty());
  EXPECT_EQ(server->Query("SELECT count(*) FROM requests WHERE target = '/files/missing.png'")[0][0], "2");
  // The redirect count runs over both attempts: the second stops at once.
  EXPECT_TRUE(manager->DownloadToMemory(FileUrl("loop.png"))->empty());
  EXPECT_EQ(server->Query("SELECT count(*) FROM requests WHERE target LIKE '/files/loop.png%'")[0][0], "7");
}

// The asynchronous download keeps the manager alive and delivers nothing once cancelled.
TEST_F(DownloadServerTest, DeliversImagesOnAThreadOfTheirOwn) {
  Serve({{"image.png", "png"}});
  std::promise<std::unique_ptr<std::vector<char>>> delivered;
  const std::weak_ptr<DownloadManager> watch = manager;
  bool aliveInCallback = false;
  manager->DownloadToMemoryAsync(FileUrl("image.png"), [&](std::unique_ptr<std::vector<char>> bytes) {
    aliveInCallback = watch.lock() != nullptr;
    delivered.set_value(std::move(bytes));
  });
  manager.reset();  // only the worker holds the manager now
  auto bytes = delivered.get_future().get();
  EXPECT_TRUE(aliveInCallback);
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(std::string(bytes->begin(), bytes->end()), "png");
  for (int i = 0; i < 3000 && !watch.expired(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(watch.expired());

  manager = std::make_shared<DownloadManager>(configuration);
  manager->cancelled = true;
  std::promise<std::unique_ptr<std::vector<char>>> nothing;
  manager->DownloadToMemoryAsync(FileUrl("image.png"),
                                 [&](std::unique_ptr<std::vector<char>> bytes) { nothing.set_value(std::move(bytes)); });
  EXPECT_EQ(nothing.get_future().get(), nullptr);
  for (int i = 0; i < 3000 && manager.use_count() > 1; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}
