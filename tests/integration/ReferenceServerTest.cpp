// The reference server's own behaviour: event checks, answers by request
// member, files and fault injection.
#include <gtest/gtest.h>

#include <thread>

#include "config/HttpJsonClient.h"
#include "config/RequestSignature.h"
#include "tests/fixtures/ReferenceServer.h"

using nlohmann::json;
using testserver::ProductUrl;

namespace {

class ReferenceServerTest : public testing::Test {
 protected:
  void Start(const json& index) {
    catalogue.SetIndex(index);
    server = std::make_unique<testserver::ReferenceServer>(catalogue);
    services = machine.Bundle();
    services.http = server->Http();
  }

  // Posts to `path` and returns the status.
  std::uint32_t Post(const std::wstring& path, const std::string& body, HttpHeaders headers = {},
                     std::string* response = nullptr) {
    std::string text;
    std::uint32_t status = 0;
    PostJson(services, ProductUrl(path), body, std::move(headers), text, status);
    if (response) *response = text;
    return status;
  }

  std::string Count(const std::string& table) { return server->Query("SELECT count(*) FROM " + table)[0][0]; }

  fakes::TestServices machine;
  testserver::TestCatalogue catalogue;
  std::unique_ptr<testserver::ReferenceServer> server;
  platform::Services services;
};

const json kPlainIndex = {{"configuration", {{"/o", {{"body", "{}"}}}}}};

std::string EventBody(const json& payload, const std::string& table = "zb_analytics") {
  return json{{"data", payload.dump()}, {"table", table}}.dump();
}

HttpHeaders Signed(const std::string& text) { return {MakeSignatureHeader(text, "")}; }

}  // namespace

// An event is stored only when well formed, meant for zb_analytics and
// signed over its user and session ids.
TEST_F(ReferenceServerTest, AcceptsOnlyWellFormedSignedEvents) {
  Start(kPlainIndex);
  const json payload = {{"1", "user-1"}, {"2", "20240501093000"}, {"5", "Player"}, {"6", "3"}};
  const struct {
    std::string body;
    HttpHeaders headers;
    std::uint32_t status;
  } cases[] = {
      {EventBody(payload), Signed("user-120240501093000"), 200},
      {"{\"data\":", Signed("user-120240501093000"), 400},
      {json{{"data", "[1,2]"}, {"table", "zb_analytics"}}.dump(), Signed(""), 400},
      {json{{"data", payload}, {"table", "zb_analytics"}}.dump(), Signed("user-120240501093000"), 400},
      {EventBody(payload, "other"), Signed("user-120240501093000"), 401},
      {EventBody(payload), Signed("user-1"), 401},
      {EventBody(payload), {}, 401},
      {std::string(1024 * 1024 + 1, ' '), {}, 413},
  };
  for (const auto& c : cases) EXPECT_EQ(Post(L"/zbd", c.body, c.headers), c.status) << c.body.substr(0, 80);
  EXPECT_EQ(server->Query("SELECT event_id, user_id, session_id, package, payload FROM zb_analytics"),
            (std::vector<std::vector<std::string>>{{"3", "user-1", "20240501093000", "Player", payload.dump()}}));
}

// Under load nothing is lost: 200 events posted at once give 200 rows.
TEST_F(ReferenceServerTest, StoresEveryEventOfABurst) {
  Start(kPlainIndex);
  std::vector<std::thread> senders;
  std::atomic<int> accepted{0};
  for (int i = 0; i < 200; ++i) {
    senders.emplace_back([&, i] {
      const json payload = {{"1", "user"}, {"2", std::to_string(i)}, {"6", "1"}};
      if (Post(L"/zbd", EventBody(payload), Signed("user" + std::to_string(i))) == 200) ++accepted;
    });
  }
  for (auto& sender : senders) sender.join();
  EXPECT_EQ(accepted, 200);
  EXPECT_EQ(Count("zb_analytics"), "200");
  EXPECT_EQ(server->Query("SELECT count(DISTINCT session_id) FROM zb_analytics")[0][0], "200");
}

// The answer varies with a member of the request; files and images come
// with their length and never from outside their folder.
TEST_F(ReferenceServerTest, ServesAnswersAndFiles) {
  catalogue.Write("answers/default.json", R"({"l":"US"})");
  catalogue.Write("answers/de.json", R"({"l":"DE"})");
  catalogue.Write("files/setup.exe", "MZ installer");
  catalogue.Write("images/offer.png", "PNG bytes");
  Start({{"configuration",
          {{"/o",
            {{"answer", "answers/default.json"},
             {"variants", {{{"member", "l"}, {"value", "de"}, {"answer", "answers/de.json"}}}}}}}}});
  std::string answer;
  EXPECT_EQ(Post(L"/o", R"({"l":"de"})", {}, &answer), 200u);
  EXPECT_EQ(answer, R"({"l":"DE"})");
  EXPECT_EQ(Post(L"/o", R"({"l":"fr"})", {}, &answer), 200u);
  EXPECT_EQ(answer, R"({"l":"US"})");

  const struct {
    std::wstring path;
    std::uint32_t status;
    std::string body;
  } gets[] = {
      {L"/files/setup.exe", 200, "MZ installer"},
      {L"/f/offer.png", 200, "PNG bytes"},
      {L"/files/missing.exe", 404, ""},
      {L"/files/..%2Fcatalogue.json", 404, ""},
      {L"/f/..%2F..%2Fetc%2Fpasswd", 404, ""},
  };
  for (const auto& get : gets) {
    std::unique_ptr<platform::HttpSession> session;
    std::unique_ptr<platform::HttpConnection> connection;
    std::unique_ptr<platform::HttpRequest> request;
    services.http->OpenSession(std::nullopt, 0, session);
    session->Connect(ProductUrl(L"").substr(8), 443, connection);
    connection->OpenRequest(L"GET", get.path, platform::kHttpFlagSecure, request);
    ASSERT_EQ(request->Send(""), 0u);
    ASSERT_EQ(request->ReceiveResponse(), 0u);
    std::uint32_t status = 0, length = 0;
    request->QueryNumber(platform::HttpQuery::StatusCode, status);
    EXPECT_EQ(status, get.status);
    if (get.status != 200) continue;
    EXPECT_EQ(request->QueryNumber(platform::HttpQuery::ContentLength, length), 0u);
    EXPECT_EQ(length, get.body.size());
    std::string body(length, '\0');
    std::uint32_t read = 0;
    request->QueryDataAvailable(read);
    request->ReadData(body.data(), length, read);
    EXPECT_EQ(body.substr(0, read), get.body);
  }
}

// Status faults are answered in turn, once each, before the normal answer;
// a delay holds the answer back.
TEST_F(ReferenceServerTest, InjectsStatusesAndDelays) {
  Start({{"configuration", {{"/o", {{"body", "ok"}}}}},
         {"faults",
          {{"/o", {{"statuses", {503, 500}}, {"statusBody", "busy"}}},
           {"/zbd", {{"delayMilliseconds", 300}, {"statuses", {502}}}}}}});
  std::vector<std::pair<std::uint32_t, std::string>> answers;
  for (int i = 0; i < 3; ++i) {
    std::string body;
    const std::uint32_t status = Post(L"/o", "{}", {}, &body);
    answers.emplace_back(status, body);
  }
  EXPECT_EQ(answers, (std::vector<std::pair<std::uint32_t, std::string>>{{503, "busy"}, {500, "busy"}, {200, "ok"}}));

  EXPECT_EQ(Post(L"/zbd", "{}"), 502u);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Post(L"/zbd", "{}"), 400u);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
}
