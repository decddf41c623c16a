// The vendor-installer wizard's whole run against the reference server: the
// product built in, downloaded into the work folder with the accepted
// offers, its installer waited for and the offers started after it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "locale/LanguageManager.h"
#include "tests/integration/WholeRunHarness.h"

namespace {

using wholerun::Answer;
using wholerun::EventsByPackage;
using wholerun::json;
using wholerun::Offer;
using wholerun::StoredEvent;
using ui::headless::Driver;
namespace fs = std::filesystem;

// The vendor wizard's main package reports under its built-in title.
const std::string kMainPackage = "Quenbril";
// A Linux process ends with the low 8 bits of its exit code: 1603 arrives as 67.
const std::string kExitCode1603 = std::to_string(1603 & 0xFF);
const std::wstring kErrorTitle = L"Error occurred while installing Quenbril.";
const std::wstring kErrorText = L"Click on \"Close\" and try again later.";
const std::wstring kExitQuestion = L"Are you sure you want to exit the installer?";
const std::wstring kInstallQuestion =
    L"Some installer processes are already running in the background and will finish momentarily. Are you "
    L"sure you would like to exit?";

// How the product is served at the built-in product URL.
enum class Product { Installer, Zip, NotAProgram, Missing };

// One run: Next on the language and welcome pages, every offer accepted,
// then Finish on the finish page or Close on the error page.
struct Scenario {
  std::string name{};
  std::vector<json> offers{};
  Product product = Product::Installer;
  // The built-in arguments of the product's installer.
  std::wstring mainArguments{};
  std::vector<StoredEvent> mainEvents{};
  EventsByPackage offerEvents{};
  // Installer records (by program name) and a piece of their command line.
  std::map<std::string, std::string> started{};
  bool errorPage = false;
  // The product's path from the work folder that downloadedFilePath names.
  std::wstring downloadedFile{};
};

std::vector<std::wstring> Pages(std::size_t productPages, bool errorPage) {
  std::vector<std::wstring> pages = {L"LoadingPage", L"WelcomePage"};
  pages.insert(pages.end(), productPages, L"ProductPage");
  pages.push_back(L"DownloadPageISV");
  if (!errorPage) pages.push_back(L"FinishPageISV");
  return pages;
}

std::vector<Scenario> Scenarios() {
  return {
      {.name = "InstallerSucceedsWithoutOffers",
       .mainArguments = L"/S /lang=en",
       .mainEvents = {{"1", ""}, {"3", ""}},
       .started = {{"BrimvaleProduct.exe", "/S /lang=en"}},
       .downloadedFile = L"BrimvaleProduct.exe"},
      // The path that ran is the program unpacked from the archive.
      {.name = "ZippedProductRunsItsProgram",
       .product = Product::Zip,
       .mainEvents = {{"1", ""}, {"3", ""}},
       .started = {{"Inner.exe", ""}},
       .downloadedFile = L"BrimvaleProduct\\Inner.exe"},
      {.name = "InstallerFailsAndOffersStillStart",
       .offers = {Offer("A"), Offer("B")},
       .mainArguments = L"/exit=1603",
       .mainEvents = {{"1", ""}, {"3", "EXEC FAILED: exit code = " + kExitCode1603}},
       .offerEvents = {{"A", {{"3", ""}}}, {"B", {{"3", ""}}}},
       .started = {{"BrimvaleProduct.exe", "/exit=1603"}, {"A.exe", "/offer=A"}, {"B.exe", "/offer=B"}},
       .errorPage = true,
       .downloadedFile = L"BrimvaleProduct.exe"},
      {.name = "ProductDownloadFailsAndTheOfferStillStarts",
       .offers = {Offer("A")},
       .product = Product::Missing,
       .mainEvents = {{"1", ""}, {"3", "DOWNLOAD FAILED: "}},
       .offerEvents = {{"A", {{"3", ""}}}},
       .started = {{"A.exe", "/offer=A"}},
       .errorPage = true},
      // Reported once, with the start's own text; the wizard goes on.
      {.name = "InstallerCannotStart",
       .offers = {Offer("A")},
       .product = Product::NotAProgram,
       .mainEvents = {{"1", ""}, {"3", "EXEC FAILED: Error launching executable: "}},
       .offerEvents = {{"A", {{"3", ""}}}},
       .started = {{"A.exe", "/offer=A"}},
       .errorPage = true,
       .downloadedFile = L"BrimvaleProduct.exe"},
  };
}

// Failures carry the transport's or the system's wording after their
// prefix; only the prefix is compared.
EventsByPackage WithoutErrorDetails(EventsByPackage events) {
  for (auto& [package, list] : events) {
    for (StoredEvent& event : list) {
      for (const std::string prefix : {"DOWNLOAD FAILED: ", "EXEC FAILED: Error launching executable: "}) {
        if (event.text.starts_with(prefix)) {
          EXPECT_GT(event.text.size(), prefix.size()) << "no reason given: " << event.text;
          event.text = prefix;
        }
      }
    }
  }
  return events;
}

class VendorRunTest : public wholerun::WholeRunTest {
 protected:
  // The built-in product: the catalogue's product at the reference server.
  static BuiltInSettings Vendor(const std::wstring& productPath, const std::wstring& arguments = L"") {
    return {.wizardKey = "ISV", .productUrl = testserver::ProductUrl(productPath), .mainProductArguments = arguments};
  }

  std::wstring ProductPath(Product product) {
    const std::string installer = ReadFile(BRIMVALE_TEST_INSTALLER);
    switch (product) {
      case Product::Installer: return L"/files/BrimvaleProduct.exe";
      case Product::Zip:
        fakes::WriteZip(catalogue.Folder() / "files" / "BrimvaleProduct.zip",
                        {{.name = "Inner.exe", .content = installer}});
        return L"/files/BrimvaleProduct.zip";
      case Product::NotAProgram:
        catalogue.Write("files/BrimvaleProduct.exe", "plain text, not a program\n");
        return L"/files/BrimvaleProduct.exe";
      case Product::Missing: return L"/files/Missing.exe";
    }
    return L"";
  }

  // A question the host asks on closing, answered Cancel: the wizard stays.
  std::wstring QuestionOnEscape() {
    EXPECT_TRUE(driver.SendCommand(HostWindow(), ui::kIdCancelCommand));
    const auto box = AnswerBox(platform::kIdCancel);
    EXPECT_FALSE(Ended());
    return box.text;
  }
};

class VendorScenarioTest : public VendorRunTest, public testing::WithParamInterface<Scenario> {};

// Each scenario's pages, stored events in order, started installers and the path the configuration records.
TEST_P(VendorScenarioTest, PagesEventsAndInstallers) {
  const Scenario& scenario = GetParam();
  Serve(Answer(scenario.offers));
  Start("ISV", L"en_US.UTF-8", Vendor(ProductPath(scenario.product), scenario.mainArguments));
  ASSERT_TRUE(PassLanguageAndWelcome());
  for (std::size_t i = 0; i < scenario.offers.size(); ++i) {
    ASSERT_TRUE(WaitForPage(L"ProductPage", 3 + i));
    ASSERT_TRUE(driver.Click(CurrentWindow(), ids::kAcceptButton));
  }
  const std::wstring end = scenario.errorPage ? L"ErrorPage" : L"FinishPageISV";
  ASSERT_TRUE(WaitForPage(end)) << WideToUtf8(Showing());

  std::vector<std::wstring> pages;
  for (const std::wstring& line : services.debugOutput->Lines()) pages.push_back(line.substr(0, line.size() - 1));
  EXPECT_EQ(pages, Pages(scenario.offers.size(), scenario.errorPage));
  const std::wstring workFolder = configuration->workFolder;
  EXPECT_EQ(configuration->downloadedFilePath,
            scenario.downloadedFile.empty() ? L"" : workFolder + L"\\" + scenario.downloadedFile);

  if (scenario.errorPage) {
    const auto errorPage = Driver::FindDialog(ids::kErrorPage)->handle;
    EXPECT_EQ(Driver::ControlOf(errorPage, ids::kErrorTitle)->text, kErrorTitle);
    EXPECT_EQ(Driver::ControlOf(errorPage, ids::kErrorText)->text, kErrorText);
    ASSERT_TRUE(driver.Click(errorPage, ids::kCloseButton));
  } else {
    // Nothing to launch is built in: Finish only ends the wizard and removes its folder.
    ASSERT_TRUE(driver.Click(CurrentWindow(), ids::kFinishButton));
    ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_FALSE(fs::exists(fs::path(workFolder)));
    EXPECT_TRUE(services.shell->Requests().empty());
  }
  ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);

  EventsByPackage expected = scenario.offerEvents;
  expected[kMainPackage] = scenario.mainEvents;
  std::size_t count = 0;
  for (const auto& [package, list] : expected) count += list.size();
  WaitForStoredEvents(count);
  EXPECT_EQ(WithoutErrorDetails(StoredEvents()), expected);

  WaitForInstallers(scenario.started.size());
  const auto started = StartedInstallers();
  EXPECT_EQ(started.size(), scenario.started.size());
  for (const auto& [program, arguments] : scenario.started) {
    ASSERT_TRUE(started.contains(program)) << program;
    EXPECT_NE(started.at(program).find(arguments), std::string::npos) << started.at(program);
  }
}

INSTANTIATE_TEST_SUITE_P(Runs, VendorScenarioTest, testing::ValuesIn(Scenarios()),
                         [](const auto& info) { return info.param.name; });

// Without its server the vendor wizard goes on without offers: the welcome page shows the
// vendor's picture and only the links it has addresses for, then the download fails.
TEST_F(VendorRunTest, UnreachableServerLeavesTheWizardWithoutOffers) {
  Serve(Answer({Offer("A")}));
  server.reset();
  BuiltInSettings builtIns = Vendor(L"/files/BrimvaleProduct.exe");
  builtIns.productPrivacyUrl = L"https://vendor.example/privacy";
  Start("ISV", L"en_US.UTF-8", builtIns);
  ASSERT_TRUE(driver.Click(PageWindow(0), ids::kNextButton));
  ASSERT_TRUE(WaitForPage(L"WelcomePage", 2));

  const ui::WindowHandle welcome = CurrentWindow();
  EXPECT_FALSE(Driver::Paint(welcome, ids::kPageImage).pixels.empty());
  const auto shown = [&](int id) { return (Driver::ControlOf(welcome, id)->style & ui::kWsVisible) != 0; };
  EXPECT_TRUE(shown(ids::kPrivacyLink));
  EXPECT_EQ(Driver::ControlOf(welcome, ids::kPrivacyLink)->url, L"https://vendor.example/privacy");
  EXPECT_FALSE(shown(ids::kTermsLink));
  EXPECT_TRUE(shown(ids::kSdkLink));

  ASSERT_TRUE(driver.Click(welcome, ids::kNextButton));
  ASSERT_TRUE(WaitForPage(L"ErrorPage"));
  std::vector<std::wstring> pages;
  for (const std::wstring& line : services.debugOutput->Lines()) pages.push_back(line.substr(0, line.size() - 1));
  EXPECT_EQ(pages, (std::vector<std::wstring>{L"LoadingPage", L"WelcomePage", L"DownloadPageISV"}));
}

// Closing asks MSG_EXIT while the files download, PROGRESS_QUIT while the product's installer
// runs, and nothing on the finish page.
TEST_F(VendorRunTest, ClosingAsksTheInstallQuestionWhileTheProductInstalls) {
  const fs::path gate = services.scratch.Path() / "gate";
  ::setenv("BRIMVALE_TEST_INSTALLER_GATE", gate.c_str(), 1);
  struct Unset {
    ~Unset() { ::unsetenv("BRIMVALE_TEST_INSTALLER_GATE"); }
  } unset;
  Serve(Answer({}), {{"/files/BrimvaleProduct.exe", {{"bytesPerSecond", 128 * 1024}}}});
  Start("ISV", L"en_US.UTF-8", Vendor(L"/files/BrimvaleProduct.exe"));
  ASSERT_TRUE(PassLanguageAndWelcome());
  ASSERT_TRUE(WaitForPage(L"DownloadPageISV"));
  EXPECT_EQ(QuestionOnEscape(), kExitQuestion);

  // The installer holds at its gate; the page shows the marquee while it runs.
  ASSERT_TRUE(driver.WaitFor([&] { return Driver::ControlOf(CurrentWindow(), ids::kProgressBar)->progress.marquee; }));
  EXPECT_EQ(QuestionOnEscape(), kInstallQuestion);
  EXPECT_EQ(Showing(), L"DownloadPageISV");

  std::ofstream(gate).put('\n');
  ASSERT_TRUE(WaitForPage(L"FinishPageISV"));
  WaitForStoredEvents(2);
  DrainEvents();
  ASSERT_TRUE(driver.Close(HostWindow()));
  ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_TRUE(Driver::MessageBoxes().empty());
  EXPECT_EQ(StoredEvents(), (EventsByPackage{{kMainPackage, {{"1", ""}, {"3", ""}}}}));
}

}  // namespace
