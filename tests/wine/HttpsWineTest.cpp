// The JSON client and the configuration request on WinHTTP, against the
// reference server on 127.0.0.1:443 as the product's host (suites named
// Https* run inside tests/fixtures/with-server-443.sh).
#include <windows.h>
#include <gtest/gtest.h>

#include <mutex>

#include "config/ApiManager.h"
#include "config/BrimvaleException.h"
#include "config/BuildSettings.h"
#include "config/HttpJsonClient.h"
#include "telemetry/EventChannel.h"
#include "telemetry/EventProtocol.h"
#include "tests/wine/WineTestEnvironment.h"
#include "util/Utf8.h"

using nlohmann::json;

namespace {

std::wstring Url(const std::wstring& path) { return std::wstring(L"https://") + build::kServerHost + path; }

struct Answer {
  bool returned = false;
  std::uint32_t status = 0;
  std::string body;
};

Answer Post(const std::wstring& url, const std::string& body, HttpHeaders headers = {}, std::string before = "") {
  Answer answer{.returned = false, .status = 0, .body = std::move(before)};
  answer.returned = PostJson(platform::CreateSystemServices(), url, body, std::move(headers), answer.body, answer.status);
  return answer;
}

}  // namespace

// Only host and path are used: the query stays behind and another port or
// scheme in the URL still reaches 443 over TLS.
TEST(HttpsPostJson, PostsToHostAndPathOnPort443) {
  const std::wstring host = build::kServerHost;
  for (const std::wstring& url : {Url(L"/echo?u=1"), L"https://" + host + L":8443/echo", L"http://" + host + L"/echo"}) {
    const Answer answer = Post(url, "{}");
    ASSERT_TRUE(answer.returned);
    EXPECT_EQ(answer.status, 200u);
    EXPECT_EQ(json::parse(answer.body)["target"], "/echo") << WideToUtf8(url);
  }
}

// The body goes out up to its first NUL with the caller's and the two fixed
// headers; the answer is appended up to its first NUL.
TEST(HttpsPostJson, BodyAndAnswerEndAtTheirFirstNul) {
  const Answer echoed = Post(Url(L"/echo"), std::string("{\"a\":1}\0tail", 12), {{L"Authorization", L"Signature=00"}});
  const json seen = json::parse(echoed.body);
  EXPECT_EQ(seen["body"], "{\"a\":1}");
  // The caller's header first, then the two fixed ones, in that order.
  std::vector<std::string> sent;
  for (const std::string line : seen["headerLines"]) {
    for (const char* name : {"Authorization:", "Expect:", "Content-Type:"})
      if (line.starts_with(name)) sent.push_back(line);
  }
  EXPECT_EQ(sent, (std::vector<std::string>{"Authorization: Signature=00", "Expect: 100-continue",
                                            "Content-Type: application/json"}));

  const Answer nul = Post(Url(L"/nul"), "{}", {}, "before:");
  EXPECT_EQ(nul.body, "before:abc");
}

// An error status is an answer like any other.
TEST(HttpsPostJson, AnErrorStatusIsAnAnswer) {
  const Answer answer = Post(Url(L"/error"), "{}");
  EXPECT_TRUE(answer.returned);
  EXPECT_EQ(answer.status, 500u);
  EXPECT_EQ(answer.body, "<html>server error</html>");
}

// A certificate that does not name the host, or that no trusted CA
// issued, is refused.
TEST(HttpsPostJson, RefusesCertificatesItCannotVerify) {
  EXPECT_THROW(Post(L"https://other.brimvale.test/echo", "{}"), BrimvaleException);
  EXPECT_THROW(Post(L"https://untrusted.brimvale.test/echo", "{}"), BrimvaleException);
}

// The configuration request: a 503 then the answer (one wait); three 404
// pages (three waits, then the page fails to parse); a blank answer; three
// redirects to a page that would answer 200 (not followed: three waits,
// then the redirect's empty body).
TEST(HttpsConfigurationRequest, RetriesAndJudgesTheLastAnswer) {
  const struct {
    std::wstring path;
    std::size_t waits;
    const char* outcome;
  } cases[] = {{L"/o-retry", 1, "parsed"}, {L"/o-404", 3, "parse error"}, {L"/o-blank", 0, "blank"},
               {L"/o-moved", 3, "blank"}};
  for (const auto& c : cases) {
    platform::Services services = platform::CreateSystemServices();
    auto clock = std::make_shared<winetest::RecordingClock>();
    services.clock = clock;
    auto configuration = std::make_shared<ConfigurationManager>(services);
    configuration->configUrl = Url(c.path);
    std::string outcome;
    try {
      const auto answer = ApiManager(configuration).RequestConfiguration();
      outcome = (*answer)["l"] == "US" ? "parsed" : answer->dump();
    } catch (const json::parse_error&) {
      outcome = "parse error";
    } catch (const BrimvaleException&) {
      outcome = "blank";
    }
    EXPECT_EQ(outcome, c.outcome) << WideToUtf8(c.path);
    EXPECT_EQ(clock->Sleeps(), std::vector<std::uint32_t>(c.waits, 5000)) << WideToUtf8(c.path);
  }
}

namespace {

class RecordingDebugOutput : public platform::DebugOutput {
 public:
  void Write(const std::wstring&) override {}
  void WriteDiagnostic(const std::string& line) override {
    std::lock_guard lock(mutex);
    lines.push_back(line);
  }
  std::vector<std::string> Lines() {
    std::lock_guard lock(mutex);
    return lines;
  }

 private:
  std::mutex mutex;
  std::vector<std::string> lines;
};

}  // namespace

// An event answered with a redirect is not delivered, though the page it
// leads to would answer 200: it is posted once more after the wait, then
// dropped, and a final event sent that way does not close the channel.
TEST(HttpsEventPost, ARedirectIsNoDelivery) {
  const struct {
    std::wstring path;
    bool delivered;
    std::vector<std::uint32_t> waits;
    std::vector<std::string> diagnostics;
  } cases[] = {
      {L"/echo", true, {}, {}},
      {L"/zbd-moved", false, {5000}, {"Event 3 of package \"P\" dropped: status 302"}},
  };
  for (const auto& c : cases) {
    platform::Services services = platform::CreateSystemServices();
    auto clock = std::make_shared<winetest::RecordingClock>();
    auto diagnostics = std::make_shared<RecordingDebugOutput>();
    services.clock = clock;
    services.debugOutput = diagnostics;
    auto configuration = std::make_shared<ConfigurationManager>(services);
    configuration->eventUrl = Url(c.path);
    auto channel = std::make_shared<EventChannel>();
    StartEventWorker(channel, configuration, {{events::kPackageId, "P"}}, {}, events::kCompleted, nullptr);
    WaitForEventWorkers(*channel);
    EXPECT_EQ(channel->finalEventSent, c.delivered) << WideToUtf8(c.path);
    EXPECT_EQ(clock->Sleeps(), c.waits) << WideToUtf8(c.path);
    EXPECT_EQ(diagnostics->Lines(), c.diagnostics) << WideToUtf8(c.path);
  }
}

namespace {

struct Opened {
  std::unique_ptr<platform::HttpSession> session;
  std::unique_ptr<platform::HttpConnection> connection;
  std::unique_ptr<platform::HttpRequest> request;
  std::uint32_t status = 0;
};

Opened Get(const std::wstring& path) {
  static const std::shared_ptr<platform::Http> http = platform::CreateSystemServices().http;
  Opened opened;
  EXPECT_EQ(http->OpenSession(std::nullopt, platform::kHttpAccessTypeDefaultProxy, opened.session), 0u);
  EXPECT_EQ(opened.session->Connect(build::kServerHost, 443, opened.connection), 0u);
  EXPECT_EQ(opened.connection->OpenRequest(L"GET", path, platform::kHttpFlagSecure, opened.request), 0u);
  EXPECT_EQ(opened.request->Send(""), 0u);
  EXPECT_EQ(opened.request->ReceiveResponse(), 0u);
  EXPECT_EQ(opened.request->QueryNumber(platform::HttpQuery::StatusCode, opened.status), 0u);
  return opened;
}

std::string ReadAll(platform::HttpRequest& request) {
  std::string body;
  for (;;) {
    std::uint32_t available = 0;
    if (request.QueryDataAvailable(available) != 0 || available == 0) return body;
    std::string chunk(available, '\0');
    std::uint32_t read = 0;
    if (request.ReadData(chunk.data(), available, read) != 0) return body;
    body.append(chunk, 0, read);
  }
}

}  // namespace

// WinHTTP leaves redirects to the caller, reads Location only into a buffer
// that holds it, and reports a missing Content-Length.
TEST(HttpsWinHttpSeam, LeavesRedirectsAndLengthToTheCaller) {
  Opened moved = Get(L"/files/moved.bin");
  EXPECT_EQ(moved.status, 302u);
  const std::wstring expected = Url(L"/files/moved.bin?hop=1");
  const auto bytes = static_cast<std::uint32_t>((expected.size() + 1) * sizeof(wchar_t));
  std::wstring location;
  EXPECT_EQ(moved.request->QueryText(platform::HttpQuery::Location, bytes - 2, location),
            platform::kErrorInsufficientBuffer);
  EXPECT_EQ(moved.request->QueryText(platform::HttpQuery::Location, bytes, location), 0u);
  EXPECT_EQ(location, expected);

  Opened unsized = Get(L"/files/unsized.bin");
  std::uint32_t length = 0;
  EXPECT_EQ(unsized.request->QueryNumber(platform::HttpQuery::ContentLength, length),
            platform::kErrorWinHttpHeaderNotFound);
  EXPECT_EQ(ReadAll(*unsized.request), std::string(1000, 'x'));

  Opened cut = Get(L"/files/short.bin");
  EXPECT_EQ(cut.request->QueryNumber(platform::HttpQuery::ContentLength, length), 0u);
  EXPECT_EQ(length, 1000u);
  EXPECT_EQ(ReadAll(*cut.request).size(), 600u);
}
