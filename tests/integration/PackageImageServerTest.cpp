// Offer images fetched from the reference server's image endpoint.
#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "config/ConfigurationManager.h"
#include "install/DownloadManager.h"
#include "packages/Package.h"
#include "tests/fakes/TestPng.h"
#include "tests/fixtures/ReferenceServer.h"
#include "ui/Image.h"

using nlohmann::json;

namespace {

class PackageImageTest : public testing::Test {
 protected:
  PackageImageTest() : catalogue(json{{"configuration", {{"/o", {{"body", "{}"}}}}}}) {
    const auto png = fakes::ThreeByTwoPng();
    catalogue.Write("images/offer.png", std::string(png.begin(), png.end()));
    catalogue.Write("images/broken.png", "no picture");
    server = std::make_unique<testserver::ReferenceServer>(catalogue);
    machine.http = server->Http();
    configuration = std::make_shared<ConfigurationManager>(machine.Bundle(), BuiltInSettings{.wizardKey = "DLM"});
    downloads = std::make_shared<DownloadManager>(configuration);
  }

  std::shared_ptr<Package> Offer(const std::string& image) {
    const json offer = {{"ad", {{"o", "ado"}, {"f", "adf"}}},
                        {"ps", {{"i", image}, {"dn", "Offer"}, {"u", "https://example.org/setup.exe"}}}};
    return std::make_shared<Package>(EventTemplate{}, offer, false, "", 0, configuration);
  }

  // Starts the download and waits for its callback.
  void Download(const std::shared_ptr<Package>& package) {
    std::promise<void> done;
    package->DownloadImage([&] { done.set_value(); }, *downloads);
    done.get_future().get();
  }

  fakes::TestServices machine;
  testserver::TestCatalogue catalogue;
  std::unique_ptr<testserver::ReferenceServer> server;
  std::shared_ptr<ConfigurationManager> configuration;
  std::shared_ptr<DownloadManager> downloads;
};

}  // namespace

// The image arrives decoded; the download keeps its package alive until the callback has run.
TEST_F(PackageImageTest, DecodesTheOfferImageAndKeepsThePackageAlive) {
  auto package = Offer("offer.png");
  const std::weak_ptr<Package> watch = package;
  std::promise<std::shared_ptr<ui::Image>> seen;
  package->DownloadImage([&] { seen.set_value(watch.lock()->image); }, *downloads);
  package.reset();  // only the download holds it now
  const auto image = seen.get_future().get();
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->Width(), 3);
  EXPECT_EQ(image->Height(), 2);
  EXPECT_EQ(server->Query("SELECT count(*) FROM requests WHERE target = '/f/offer.png'")[0][0], "1");
  // Once the worker ends, it lets the package go.
  for (int i = 0; i < 3000 && !watch.expired(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(watch.expired());
}

// Bytes that are no picture leave no image; a failed download leaves the image as it was.
TEST_F(PackageImageTest, KeepsOrDropsTheImageByWhatArrived) {
  auto package = Offer("broken.png");
  package->image = ui::DecodeImage(fakes::ThreeByTwoPng());
  Download(package);
  EXPECT_EQ(package->image, nullptr);

  package = Offer("missing.png");
  const auto before = ui::DecodeImage(fakes::ThreeByTwoPng());
  package->image = before;
  Download(package);
  EXPECT_EQ(package->image, before);
}

// The main package calls back at once, on the calling thread, without a request.
TEST_F(PackageImageTest, MainPackageCallsBackAtOnce) {
  auto main = std::make_shared<Package>(EventTemplate{}, true, L"", L"", L"Product", L"", 0, configuration);
  std::thread::id calledOn;
  main->DownloadImage([&] { calledOn = std::this_thread::get_id(); }, *downloads);
  EXPECT_EQ(calledOn, std::this_thread::get_id());
  EXPECT_EQ(server->Query("SELECT count(*) FROM requests WHERE target LIKE '/f/%'")[0][0], "0");
}
