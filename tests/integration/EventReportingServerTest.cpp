// Event reports of packages delivered to the reference server over real TLS.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "config/ConfigurationManager.h"
#include "packages/OfferChecker.h"
#include "packages/Package.h"
#include "tests/fakes/FakeHttp.h"
#include "tests/fixtures/ReferenceServer.h"

using nlohmann::json;

namespace {

class EventReportingTest : public testing::Test {
 protected:
  explicit EventReportingTest(const json& zbdFaults = nullptr)
      : catalogue(zbdFaults.is_null() ? json{{"configuration", {{"/o", {{"body", "{}"}}}}}}
                                      : json{{"configuration", {{"/o", {{"body", "{}"}}}}},
                                             {"faults", {{"/zbd", zbdFaults}}}}),
        server(catalogue) {
    auto services = machine.Bundle();
    services.http = server.Http();
    configuration = std::make_shared<ConfigurationManager>(services, BuiltInSettings{.wizardKey = "DLM"});
    configuration->machineId = "3f2504e0-4f89-11d3-9a0c-0305e82c3301";
    configuration->sessionTimestamp = "20240102030405";
    configuration->productTitle = L"Product";
  }

  std::shared_ptr<Package> MainPackage() {
    return std::make_shared<Package>(BuildEventTemplate(*configuration), true, L"", L"", L"", L"", 0, configuration);
  }
  std::shared_ptr<Package> Offer(const std::string& id, const json& ps = json::object()) {
    json offer = {{"ad", {{"o", id}, {"f", "feed"}}},
                  {"ps", {{"i", "i.png"}, {"dn", "Offer"}, {"u", "https://example.org/x.exe"}}}};
    offer["ps"].update(ps);
    return std::make_shared<Package>(BuildEventTemplate(*configuration), offer, false, "", 0, configuration);
  }

  // (event id, package) of the stored events, in arrival order.
  std::vector<std::pair<std::string, std::string>> Stored() const {
    std::vector<std::pair<std::string, std::string>> events;
    for (const auto& row : server.Query("SELECT event_id, package FROM zb_analytics ORDER BY rowid"))
      events.emplace_back(row[0], row[1]);
    return events;
  }

  fakes::TestServices machine;
  testserver::TestCatalogue catalogue;
  testserver::ReferenceServer server;
  std::shared_ptr<ConfigurationManager> configuration;
};

class FailingEventServerTest : public EventReportingTest {
 protected:
  FailingEventServerTest() : EventReportingTest({{"statuses", {500, 500}}}) {}
};

class RedirectingEventServerTest : public EventReportingTest {
 protected:
  RedirectingEventServerTest() : EventReportingTest({{"redirects", 1}}) {}
};

}  // namespace

// The request: {"data": the payload as compact text, "table":
// "zb_analytics"} with the signature the server checks; the payload's keys
// in text order, "6" the event id, and extras replacing only existing keys.
TEST_F(EventReportingTest, RequestCarriesThePayloadAsSortedText) {
  const auto main = MainPackage();
  main->SendEvent(1, json{{"13", "reason"}, {"99", "x"}});
  main->WaitForEvents();
  ASSERT_EQ(Stored(), (std::vector<std::pair<std::string, std::string>>{{"1", "Product"}}));

  const auto request = server.Query("SELECT body FROM requests WHERE target = '/zbd'");
  ASSERT_EQ(request.size(), 1u);
  const std::string body = request[0][0];
  EXPECT_TRUE(body.starts_with(R"({"data":"{\"0\":\"\",\"1\":\"3f2504e0)")) << body;
  EXPECT_TRUE(body.ends_with(R"(}","table":"zb_analytics"})")) << body;

  const std::string data = json::parse(body)["data"];
  std::vector<std::string> keys;
  const std::regex key(R"re("(\d+)":)re");
  for (auto match = std::sregex_iterator(data.begin(), data.end(), key); match != std::sregex_iterator(); ++match)
    keys.push_back((*match)[1]);
  const std::vector<std::string> expected = {"0",  "1",  "10", "11", "12", "13", "14", "15", "16", "17", "18",
                                             "19", "2",  "20", "21", "22", "3",  "31", "38", "4",  "5",  "6",
                                             "7",  "8",  "9"};
  EXPECT_EQ(keys, expected);
  const json payload = json::parse(data);
  EXPECT_EQ(payload["6"], "1");
  EXPECT_EQ(payload["13"], "reason");
  EXPECT_EQ(payload["10"], 1);
  EXPECT_EQ(payload["5"], "Product");
}

// Event 1 is not final: the closing event 5 still goes out. An offer's
// rejection (2) is final: its closing event is dropped.
TEST_F(EventReportingTest, OnlyTerminalEventsEndAPackagesReports) {
  const auto main = MainPackage();
  main->SendEvent(1);
  main->WaitForEvents();
  EXPECT_FALSE(main->FinalEventSent());
  main->SendEvent(5);
  main->WaitForEvents();
  EXPECT_TRUE(main->FinalEventSent());

  OfferChecker checker(5, configuration);
  auto offer = Offer("refused", {{"ov", 64}});
  bool limitReached = false;
  EXPECT_FALSE(checker.CheckOffer(*offer, limitReached));
  offer->WaitForEvents();
  offer->SendEvent(5);
  offer->WaitForEvents();
  EXPECT_EQ(Stored(),
            (std::vector<std::pair<std::string, std::string>>{{"1", "Product"}, {"5", "Product"}, {"2", "refused"}}));
  EXPECT_EQ(json::parse(server.Query("SELECT payload FROM zb_analytics WHERE event_id = '2'")[0][0])["13"],
            "UNSUPPORTED OS VERSION");
}

// Dropping a package waits for its event: the report is stored by then.
TEST_F(EventReportingTest, DroppedPackageWaitsForItsEvents) {
  auto offer = Offer("dropped");
  offer->SendEvent(4);
  offer.reset();
  EXPECT_EQ(Stored().size(), 1u);
}

// Fifty packages reporting at once lose nothing.
TEST_F(EventReportingTest, ManyPackagesReportAtOnce) {
  std::vector<std::shared_ptr<Package>> packages;
  for (int i = 0; i < 50; ++i) packages.push_back(Offer("offer-" + std::to_string(i)));
  for (auto& package : packages) package->SendEvent(4);
  for (auto& package : packages) package->WaitForEvents();
  std::set<std::string> stored;
  for (const auto& [id, package] : Stored()) {
    EXPECT_EQ(id, "4");
    stored.insert(package);
  }
  EXPECT_EQ(stored.size(), 50u);
}

// A server that answers 500 twice: one wait of 5000 ms between the two
// attempts, then the event is given up and no worker is left.
TEST_F(FailingEventServerTest, GivesUpAfterTwoFailedAttempts) {
  const auto offer = Offer("unlucky");
  offer->SendEvent(2, json{{"13", "NOT ENOUGH RAM"}});
  offer->WaitForEvents();
  EXPECT_EQ(offer->PendingEvents(), 0);
  EXPECT_EQ(machine.clock->Sleeps(), (std::vector<std::uint32_t>{5000}));
  EXPECT_EQ(server.Query("SELECT count(*) FROM requests WHERE target = '/zbd'")[0][0], "2");
  EXPECT_TRUE(Stored().empty());
  EXPECT_FALSE(offer->FinalEventSent());
  EXPECT_EQ(machine.debugOutput->Diagnostics(),
            std::vector<std::string>{R"(Event 2 of package "unlucky" dropped: status 500)"});
}

// A redirect is not followed, so it is no delivery: both attempts meet a
// 302, nothing is stored and the package may still send a final event.
TEST_F(RedirectingEventServerTest, ARedirectIsAFailedAttempt) {
  const auto offer = Offer("moved");
  offer->SendEvent(4);
  offer->WaitForEvents();
  EXPECT_EQ(server.Query("SELECT count(*) FROM requests WHERE target = '/zbd'")[0][0], "2");
  EXPECT_TRUE(Stored().empty());
  EXPECT_FALSE(offer->FinalEventSent());
  EXPECT_EQ(machine.debugOutput->Diagnostics(),
            std::vector<std::string>{R"(Event 4 of package "moved" dropped: status 302)"});
}

// Without an answer the event is dropped at once: one attempt, no wait,
// and a transport diagnostic that names the event and the failed call.
TEST(EventReporting, TransportFailureDropsTheEventWithoutWaiting) {
  fakes::TestServices machine;
  const auto http = std::make_shared<fakes::FakeHttp>();  // refuses the connection
  machine.http = http;
  auto configuration = std::make_shared<ConfigurationManager>(machine.Bundle(), BuiltInSettings{.wizardKey = "DLM"});
  configuration->productTitle = L"Product";
  Package main(BuildEventTemplate(*configuration), true, L"", L"", L"", L"", 0, configuration);
  main.SendEvent(1);
  main.WaitForEvents();
  EXPECT_EQ(http->Recorded().connections.size(), 1u);
  EXPECT_TRUE(machine.clock->Sleeps().empty());
  EXPECT_FALSE(main.FinalEventSent());
  EXPECT_EQ(machine.debugOutput->Diagnostics(),
            std::vector<std::string>{R"(Event 1 of package "Product" dropped: WinHttpConnect failed: error 12029)"});
}
