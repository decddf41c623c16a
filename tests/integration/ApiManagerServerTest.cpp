// The configuration request over real TLS against the reference server.
#include <gtest/gtest.h>

#include "config/ApiManager.h"
#include "config/BrimvaleException.h"
#include "tests/fixtures/ReferenceServer.h"

using nlohmann::json;

namespace {

class ApiManagerServerTest : public testing::Test {
 protected:
  // Starts the server with `endpoint` as the answer of "/o" and `faults` on it.
  void Start(const json& endpoint, const json& faults = json::object()) {
    catalogue.SetIndex({{"configuration", {{"/o", endpoint}}}, {"faults", {{"/o", faults}}}});
    server = std::make_unique<testserver::ReferenceServer>(catalogue);
    machine.environment->executablePath = L"C:\\Users\\u\\Downloads\\setup_ab1-cd2.exe";
    platform::Services services = machine.Bundle();
    services.http = server->Http();
    configuration = std::make_shared<ConfigurationManager>(services, BuiltInSettings{.wizardKey = "DLM"});
    configuration->localeName = L"de_DE";
  }
  std::vector<std::vector<std::string>> Requests() {
    return server->Query("SELECT target, body FROM requests ORDER BY id");
  }

  fakes::TestServices machine;
  testserver::TestCatalogue catalogue;
  std::unique_ptr<testserver::ReferenceServer> server;
  std::shared_ptr<ConfigurationManager> configuration;
};

const std::string kExpectedRequest =
    R"({"a":"Quenbril","i":"Quenbril_DLM","l":"de","o":"10.0.19045","plv":"3.0.13.11135","prv":"0.1",)"
    R"("s":"Quenbril_3cpp","u":"ab1-cd2"})";

}  // namespace

// One compact request to the built-in URL with the two fixed headers in
// their order and no signature, answered at once: no wait.
TEST_F(ApiManagerServerTest, PostsTheRequestAndParsesTheAnswer) {
  Start({{"body", R"({"l":"US","i":{"ct":"Player","cu":"https://x/p.exe"}})"}});
  const auto answer = ApiManager(configuration).RequestConfiguration();
  EXPECT_EQ((*answer)["i"]["ct"], "Player");
  EXPECT_EQ(Requests(), (std::vector<std::vector<std::string>>{{"/o", kExpectedRequest}}));
  std::vector<std::string> headers;
  for (const std::string line : json::parse(server->Query("SELECT header_lines FROM requests")[0][0])) {
    if (!line.starts_with("Host:") && !line.starts_with("Content-Length:")) headers.push_back(line);
  }
  EXPECT_EQ(headers, (std::vector<std::string>{"Expect: 100-continue", "Content-Type: application/json"}));
  EXPECT_TRUE(machine.clock->Sleeps().empty());
}

// A 503 with a body, then the answer: one wait, the 503 body plays no part.
TEST_F(ApiManagerServerTest, RetriesAfterAnUnsuccessfulStatus) {
  Start({{"body", R"({"l":"US"})"}}, {{"statuses", {503}}, {"statusBody", "busy"}});
  EXPECT_EQ(*ApiManager(configuration).RequestConfiguration(), json({{"l", "US"}}));
  EXPECT_EQ(machine.clock->Sleeps(), std::vector<std::uint32_t>{5000});
  EXPECT_EQ(Requests().size(), 2u);
}

// Three 404 pages: three attempts, three waits, then the last page fails to parse.
TEST_F(ApiManagerServerTest, ParsesTheLastAnswerAfterThreeFailures) {
  Start({{"body", "{}"}}, {{"statuses", {404, 404, 404}}, {"statusBody", "<html>Not Found</html>"}});
  EXPECT_THROW(ApiManager(configuration).RequestConfiguration(), json::parse_error);
  EXPECT_EQ(machine.clock->Sleeps(), (std::vector<std::uint32_t>{5000, 5000, 5000}));
  EXPECT_EQ(Requests().size(), 3u);
}

// A successful answer of white space only is a failure of its own.
TEST_F(ApiManagerServerTest, RefusesABlankAnswer) {
  Start({{"body", "\r\n"}});
  EXPECT_THROW(ApiManager(configuration).RequestConfiguration(), BrimvaleException);
  EXPECT_EQ(Requests().size(), 1u);
}
