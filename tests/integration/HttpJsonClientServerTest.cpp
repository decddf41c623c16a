// The JSON client over real TLS against the reference server.
#include <gtest/gtest.h>

#include <chrono>

#include "config/BrimvaleException.h"
#include "config/HttpJsonClient.h"
#include "tests/fixtures/ReferenceServer.h"

using nlohmann::json;
using testserver::ProductUrl;

namespace {

class HttpJsonClientServerTest : public testing::Test {
 protected:
  HttpJsonClientServerTest()
      : catalogue({{"configuration",
                    {{"/o", {{"body", "{}"}}},
                     {"/nul", {{"body", std::string("abc\0def", 7)}}},
                     {"/error", {{"body", "<html>server error</html>"}, {"status", 500}}}}},
                   {"echo", {"/echo"}},
                   {"faults", {{"/stall", {{"stallSeconds", 30}}}}}}),
        server(catalogue) {
    services = machine.Bundle();
    services.http = server.Http();
  }

  // Posts and returns what the echo endpoint saw.
  json Echoed(const std::wstring& url, const std::string& body, HttpHeaders headers = {}) {
    std::string response;
    std::uint32_t status = 0;
    EXPECT_TRUE(PostJson(services, url, body, std::move(headers), response, status));
    EXPECT_EQ(status, 200u);
    return json::parse(response);
  }

  fakes::TestServices machine;
  testserver::TestCatalogue catalogue;
  testserver::ReferenceServer server;
  platform::Services services;
};

}  // namespace

// Only host and path of the URL are used: the query and fragment stay
// behind, and any scheme or port still reaches port 443 over TLS (the
// server is routed on 443 only).
TEST_F(HttpJsonClientServerTest, PostsToHostAndPathOnPort443) {
  for (const std::wstring suffix : {L"/echo", L"/echo?u=1&x=2", L"/echo#part"}) {
    EXPECT_EQ(Echoed(ProductUrl(suffix), "{}")["target"], "/echo");
  }
  const std::wstring host = testserver::ProductUrl(L"").substr(8);
  EXPECT_EQ(Echoed(L"https://" + host + L":8443/echo", "{}")["target"], "/echo");
  EXPECT_EQ(Echoed(L"http://" + host + L"/echo", "{}")["target"], "/echo");
  EXPECT_EQ(server.Query("SELECT count(*) FROM requests WHERE target <> '/echo'")[0][0], "0");
}

// The body goes out up to its first NUL with the caller's headers, then the
// two fixed ones, in that order; a header that cannot be added is written
// as a transport diagnostic and the request goes on without it.
TEST_F(HttpJsonClientServerTest, SendsBodyToFirstNulWithTheHeaders) {
  const HttpHeaders headers = {{L"Authorization", L"Signature=00"}, {L"", L"no name"}, {L"X-Extra", L"1"}};
  const json seen = Echoed(ProductUrl(L"/echo"), std::string("{\"a\":1}\0{\"b\":2}", 15), headers);
  EXPECT_EQ(seen["method"], "POST");
  EXPECT_EQ(seen["body"], "{\"a\":1}");
  std::vector<std::string> sent;
  for (const std::string line : seen["headerLines"]) {
    if (!line.starts_with("Host:") && !line.starts_with("Content-Length:")) sent.push_back(line);
  }
  EXPECT_EQ(sent, (std::vector<std::string>{"Authorization: Signature=00", "X-Extra: 1", "Expect: 100-continue",
                                            "Content-Type: application/json"}));
  EXPECT_EQ(machine.debugOutput->Diagnostics(), std::vector<std::string>{"WinHttpAddRequestHeaders error: 87"});
}

// The answer is appended to what the response holds, each chunk up to its
// first NUL; an error status is still an answer.
TEST_F(HttpJsonClientServerTest, AppendsTheAnswerWhateverItsStatus) {
  std::string response = "before:";
  std::uint32_t status = 0;
  EXPECT_TRUE(PostJson(services, ProductUrl(L"/nul"), "{}", {}, response, status));
  EXPECT_EQ(response, "before:abc");
  EXPECT_EQ(status, 200u);

  response.clear();
  EXPECT_TRUE(PostJson(services, ProductUrl(L"/error"), "{}", {}, response, status));
  EXPECT_EQ(status, 500u);
  EXPECT_EQ(response, "<html>server error</html>");
}

// A certificate that does not name the host, or that no trusted CA issued,
// is refused before anything is sent.
TEST_F(HttpJsonClientServerTest, RefusesCertificatesItCannotVerify) {
  platform::posix::PosixHttpSettings otherHost = server.Settings();
  otherHost.connectTo.push_back("other.brimvale.test:443:127.0.0.1:" + std::to_string(server.Port()));
  platform::posix::PosixHttpSettings otherCa = server.Settings();
  otherCa.caFile = testserver::OtherPki().caFile.string();
  const std::pair<platform::posix::PosixHttpSettings, std::wstring> cases[] = {
      {otherHost, L"https://other.brimvale.test/o"}, {otherCa, ProductUrl(L"/o")}};
  for (const auto& [settings, url] : cases) {
    services.http = std::make_shared<platform::posix::PosixHttp>(settings);
    std::string response;
    std::uint32_t status = 0;
    EXPECT_THROW(PostJson(services, url, "{}", {}, response, status), BrimvaleException);
  }
  EXPECT_EQ(server.Query("SELECT count(*) FROM requests")[0][0], "0");
}

// A server that takes the request and never answers is given up after the
// receive time-out (shortened here from 30 s).
TEST_F(HttpJsonClientServerTest, GivesUpOnAStalledServer) {
  platform::posix::PosixHttpSettings settings = server.Settings();
  settings.stallTimeout = std::chrono::seconds(2);
  services.http = std::make_shared<platform::posix::PosixHttp>(settings);
  std::string response;
  std::uint32_t status = 0;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(PostJson(services, ProductUrl(L"/stall"), "{}", {}, response, status), BrimvaleException);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));  // the server stalls for 30
  EXPECT_EQ(server.Query("SELECT target FROM requests")[0][0], "/stall");
}
