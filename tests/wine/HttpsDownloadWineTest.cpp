// DownloadFile on Wine's WinHTTP and its fallback on Wine's WinINet, against
// the reference server on 127.0.0.1:443 as the product's host (suites named
// Https* run inside tests/fixtures/with-server-443.sh; the files and their
// faults are in tests/wine/catalogue, whose folder is also served over plain
// HTTP on port 80).
#include <windows.h>
#include <gtest/gtest.h>

#include <fstream>

#include "config/BuildSettings.h"
#include "config/ConfigurationManager.h"
#include "install/DownloadManager.h"
#include "platform/SystemErrorText.h"
#include "tests/wine/WineTestEnvironment.h"
#include "util/Utf8.h"

namespace {

std::wstring FileUrl(const std::wstring& name) { return std::wstring(L"https://") + build::kServerHost + L"/files/" + name; }
std::wstring PlainFileUrl(const std::wstring& name) {
  return std::wstring(L"http://") + build::kServerHost + L"/files/" + name;
}

std::string ReadAll(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class HttpsDownload : public testing::Test {
 protected:
  HttpsDownload() {
    services.clock = clock;
    configuration = std::make_shared<ConfigurationManager>(services, BuiltInSettings{.wizardKey = "DLM"});
    configuration->downloadFolder = scratch.Path();
    manager = std::make_shared<DownloadManager>(configuration);
    // Messages posted to no window land in this thread's queue, which exists once asked for.
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
  }

  // The download messages posted since the last call (to no window: this thread's queue).
  std::vector<std::pair<UINT, WPARAM>> TakeMessages() {
    std::vector<std::pair<UINT, WPARAM>> messages;
    MSG message;
    while (::PeekMessageW(&message, reinterpret_cast<HWND>(-1), ui::WM_DOWNLOAD_PROGRESS, ui::WM_DOWNLOAD_SIZE_UNKNOWN,
                          PM_REMOVE))
      messages.emplace_back(message.message, message.wParam);
    return messages;
  }
  std::wstring Target() const { return scratch.Path() + L"\\setup.exe"; }

  winetest::ScratchFolder scratch;
  std::shared_ptr<winetest::RecordingClock> clock = std::make_shared<winetest::RecordingClock>();
  platform::Services services = platform::CreateSystemServices();
  std::shared_ptr<ConfigurationManager> configuration;
  std::shared_ptr<DownloadManager> manager;
};

const std::string kBody(1000, 'x');
const std::string kBodyDigest = "44f8354494a5ba03ba1792a8d3e9c534c47a9181980fde7a3f44b06ef2ae7c7f";
const std::string kOtherDigest = "44f8354494a5ba03ba1792a8d3e9c534c47a9181980fde7a3f44b06ef2ae7c7e";
const std::wstring kWebPage = L"Download failed: the server sent a web page instead of the file.";

// Windows' WinINet refuses the redirect itself; Wine's follows it and the
// session refuses what it brought. Either way the code is the same.
std::wstring WinInetRefusedDowngrade() {
  return L"Failed to open URL:: 12040 - " + platform::GetSystemErrorText(platform::kErrorInternetHttpsToHttpOnRedirect);
}

struct CheckCase {
  std::wstring url;
  std::string sha256;
  DownloadResult result;
};

}  // namespace

// WinHTTP follows a redirect, reports progress to 100 and takes a body of unknown length.
TEST_F(HttpsDownload, WinHttpFollowsRedirectsAndTakesUnknownLengths) {
  EXPECT_EQ(manager->DownloadFile(FileUrl(L"moved.bin"), 0, L"setup.exe", false), (DownloadResult{true, L""}));
  EXPECT_EQ(ReadAll(Target()), kBody);
  EXPECT_EQ(manager->LastFilePath(), Target());
  auto messages = TakeMessages();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back(), std::make_pair(ui::WM_DOWNLOAD_PROGRESS, WPARAM{100}));

  EXPECT_EQ(manager->DownloadFile(FileUrl(L"unsized.bin"), 0, L"setup.exe", false), (DownloadResult{true, L""}));
  EXPECT_EQ(ReadAll(Target()), kBody);
  messages = TakeMessages();
  EXPECT_EQ(messages, (std::vector<std::pair<UINT, WPARAM>>{{ui::WM_DOWNLOAD_SIZE_UNKNOWN, 0}}));
  EXPECT_TRUE(clock->Sleeps().empty());
}

// WinINet follows the redirect itself and takes a body of unknown length.
TEST_F(HttpsDownload, WinInetFollowsRedirectsAndTakesUnknownLengths) {
  for (const wchar_t* name : {L"moved.bin", L"unsized.bin"}) {
    EXPECT_EQ(manager->DownloadFileFallback(FileUrl(name), 0, L"setup.exe", false), (DownloadResult{true, L""}));
    EXPECT_EQ(ReadAll(Target()), kBody);
  }
}

// A short body and a missing file fail both transports, each with its own text; no file stays.
TEST_F(HttpsDownload, ShortBodiesAndMissingFilesFailBothTransports) {
  const std::wstring incomplete = L"Download was incomplete: content length: 1000, downloaded: 600";
  const DownloadResult shortBody = manager->DownloadFile(FileUrl(L"short.bin"), 0, L"setup.exe", false);
  EXPECT_EQ(shortBody, (DownloadResult{false, L"[WINHTTP] " + incomplete + L" [WININET] " + incomplete}))
      << WideToUtf8(shortBody.second);
  EXPECT_EQ(::GetFileAttributesW(Target().c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(clock->Sleeps(), std::vector<std::uint32_t>{2000});

  const DownloadResult missing = manager->DownloadFile(FileUrl(L"missing.bin"), 0, L"setup.exe", false);
  EXPECT_FALSE(missing.first);
  EXPECT_EQ(missing.second.rfind(L"[WINHTTP] Download failed: Server returned status code: 404 [WININET] Server "
                                 L"returned status code: HTTP 404 - ",
                                 0),
            0u)
      << WideToUtf8(missing.second);
  EXPECT_EQ(::GetFileAttributesW(Target().c_str()), INVALID_FILE_ATTRIBUTES);
}

// Small resources come into memory through WinHTTP.
TEST_F(HttpsDownload, DownloadsIntoMemory) {
  const auto bytes = manager->DownloadToMemory(FileUrl(L"moved.bin"));
  EXPECT_EQ(std::string(bytes->begin(), bytes->end()), kBody);
  EXPECT_TRUE(manager->DownloadToMemory(FileUrl(L"missing.bin"))->empty());
}

// What must not run is not kept: a file without the answer's digest (no
// second transfer), a web page, a file reached by a redirect from https to
// http. The plain server behind that redirect is live (the same file
// straight from it is taken), so only a refusal keeps it out. Nothing of a
// failed download stays.
TEST_F(HttpsDownload, KeepsNothingThatMustNotRun) {
  const struct {
    CheckCase download;
    std::size_t sleeps;  // the pause before the second transfer
  } cases[] = {
      {{FileUrl(L"moved.bin"), kBodyDigest, {true, L""}}, 0},
      {{FileUrl(L"unsized.bin"), kOtherDigest, {false, kChecksumMismatch}}, 0},
      {{FileUrl(L"page.bin"), "", {false, L"[WINHTTP] " + kWebPage + L" [WININET] " + kWebPage}}, 1},
      {{PlainFileUrl(L"moved.bin"), "", {true, L""}}, 0},
      {{FileUrl(L"downgraded.bin"), "",
        {false, L"[WINHTTP] Redirect from HTTPS to HTTP refused. [WININET] " + WinInetRefusedDowngrade()}},
       1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.download.url) + " " + c.download.sha256);
    const std::size_t sleepsBefore = clock->Sleeps().size();
    const DownloadResult result = manager->DownloadFile(c.download.url, 0, L"setup.exe", false, c.download.sha256);
    EXPECT_EQ(result, c.download.result) << WideToUtf8(result.second);
    EXPECT_EQ(clock->Sleeps().size() - sleepsBefore, c.sleeps);
    EXPECT_EQ(::GetFileAttributesW(Target().c_str()) != INVALID_FILE_ATTRIBUTES, c.download.result.first);
    if (c.download.result.first) {
      EXPECT_EQ(ReadAll(Target()), kBody);
    }
    ::DeleteFileW(Target().c_str());
  }
}

// The fallback on its own judges the same way.
TEST_F(HttpsDownload, WinInetKeepsNothingThatMustNotRun) {
  const CheckCase cases[] = {
      {PlainFileUrl(L"moved.bin"), kBodyDigest, {true, L""}},
      {FileUrl(L"downgraded.bin"), "", {false, L" [WININET] " + WinInetRefusedDowngrade()}},
      {FileUrl(L"unsized.bin"), kOtherDigest, {false, kChecksumMismatch}},
      {FileUrl(L"page.bin"), "", {false, L" [WININET] " + kWebPage}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.url) + " " + c.sha256);
    const DownloadResult result = manager->DownloadFileFallback(c.url, 0, L"setup.exe", false, c.sha256);
    EXPECT_EQ(result, c.result) << WideToUtf8(result.second);
    if (c.result.first) {
      EXPECT_EQ(ReadAll(Target()), kBody);
    }
    // Other failures leave the file to DownloadFile, which removes it.
    if (c.result.second == kChecksumMismatch) {
      EXPECT_EQ(::GetFileAttributesW(Target().c_str()), INVALID_FILE_ATTRIBUTES);
    }
    ::DeleteFileW(Target().c_str());
  }
}
