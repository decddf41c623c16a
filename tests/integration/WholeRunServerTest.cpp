// The download-manager wizard's whole run against the reference server: the
// pages the user passes, the events the server stored and the files left.
#include <gtest/gtest.h>

#include "locale/LanguageManager.h"
#include "tests/integration/WholeRunHarness.h"

namespace {

using wholerun::Answer;
using wholerun::EventsByPackage;
using wholerun::json;
using wholerun::kProductTitle;
using wholerun::Offer;
using wholerun::StoredEvent;
using ui::headless::Driver;
namespace fs = std::filesystem;

const std::string kRefusalRule = "HKLM\\Software\\Brimvale\\RequiredButMissing";

// One run, walked like a user: Next on the language and welcome pages, one
// choice per product page ('a' accept, 'd' decline), then Finish on the
// finish page, or Close on the error page.
struct Scenario {
  std::string name{};
  json answer{};
  json faults = json::object();
  std::string choices{};
  // The pages that became current after the language page, in order.
  std::vector<std::wstring> pages{};
  EventsByPackage events{};
  // Installer records (by program name) and a piece of their command line.
  std::map<std::string, std::string> started{};
  // Empty: the run ends on the finish page. Otherwise the error page's texts.
  std::wstring errorTitle{};
  std::wstring errorText{};
  // The transport diagnostics of the run, in order.
  std::vector<std::string> diagnostics{};
};

std::vector<std::wstring> Pages(std::size_t productPages) {
  std::vector<std::wstring> pages = {L"LoadingPage", L"WelcomePage"};
  pages.insert(pages.end(), productPages, L"ProductPage");
  pages.push_back(L"DownloadPageDLM");
  pages.push_back(L"FinishPageDLM");
  return pages;
}

// Event 1 comes before the answer names the product; the rest carry its title.
const std::vector<StoredEvent> kStarted = {{"1", ""}};
const std::vector<StoredEvent> kProductDone = {{"3", ""}};
const std::wstring kConfigurationErrorTitle = L"Something went wrong";
const std::wstring kConfigurationErrorText = L"Please try to download later";

std::vector<Scenario> Scenarios() {
  json missingTitle = Answer({});
  missingTitle["i"]["ct"] = "";
  json suppressed = Answer({Offer("A")});
  suppressed["i"]["ch"] = "00xA";
  json notSuppressed = Answer({Offer("A")});
  notSuppressed["i"]["ch"] = "00XA";
  json mainFails = Answer({Offer("A")});
  mainFails["i"]["cu"] = wholerun::ServerUrl("/files/Missing.exe");

  return {
      {.name = "NoOffers",
       .answer = Answer({}),
       .pages = Pages(0),
       .events = {{"", kStarted}, {kProductTitle, kProductDone}}},
      {.name = "TwoOffersAccepted",
       .answer = Answer({Offer("A"), Offer("B")}),
       .choices = "aa",
       .pages = Pages(2),
       .events = {{"", kStarted}, {kProductTitle, kProductDone}, {"A", {{"3", ""}}}, {"B", {{"3", ""}}}},
       .started = {{"A.exe", "/quiet /offer=A"}, {"B.exe", "/quiet /offer=B"}}},
      {.name = "OneDeclined",
       .answer = Answer({Offer("A"), Offer("B")}),
       .choices = "ad",
       .pages = Pages(2),
       .events = {{"", kStarted}, {kProductTitle, kProductDone}, {"A", {{"3", ""}}}, {"B", {{"4", ""}}}},
       .started = {{"A.exe", "/offer=A"}}},
      {.name = "RefusedOfferIsReported",
       .answer = Answer({Offer("R", {{"ir", {kRefusalRule}}}), Offer("A")}),
       .choices = "a",
       .pages = Pages(1),
       .events = {{"", kStarted}, {kProductTitle, kProductDone},
                  {"R", {{"2", "NONE OF THE REGISTRY KEYS EXISTS"}}},
                  {"A", {{"3", ""}}}},
       .started = {{"A.exe", "/offer=A"}}},
      // The built-in configuration reports the product's failure as a completion, with the failure's text.
      {.name = "MainProductFails",
       .answer = mainFails,
       .choices = "a",
       .pages = {L"LoadingPage", L"WelcomePage", L"ProductPage", L"DownloadPageDLM"},
       .events = {{"", kStarted}, {kProductTitle, {{"3", "DOWNLOAD FAILED: "}}}, {"A", {{"3", ""}}}},
       .started = {{"A.exe", "/offer=A"}},
       .errorTitle = L"Error in downloading",
       .errorText = L"Please try to download later"},
      {.name = "OfferDownloadFails",
       .answer = Answer({Offer("M", {{"u", wholerun::ServerUrl("/files/Missing.exe")}}), Offer("A")}),
       .choices = "aa",
       .pages = Pages(2),
       .events = {{"", kStarted}, {kProductTitle, kProductDone}, {"M", {{"-1", "DOWNLOAD FAILED: "}}}, {"A", {{"3", ""}}}},
       .started = {{"A.exe", "/offer=A"}}},
      {.name = "ZipOfferIsUnpackedAndStarted",
       .answer = Answer({Offer("Z", {{"u", wholerun::ServerUrl("/files/Z.zip")}})}),
       .choices = "a",
       .pages = Pages(1),
       .events = {{"", kStarted}, {kProductTitle, kProductDone}, {"Z", {{"3", ""}}}},
       .started = {{"Inner.exe", "/offer=Z"}}},
      {.name = "LowerCaseXSuppressesOffers",
       .answer = suppressed,
       .pages = Pages(0),
       .events = {{"", kStarted}, {kProductTitle, kProductDone}}},
      {.name = "UpperCaseXKeepsOffers",
       .answer = notSuppressed,
       .choices = "a",
       .pages = Pages(1),
       .events = {{"", kStarted}, {kProductTitle, kProductDone}, {"A", {{"3", ""}}}},
       .started = {{"A.exe", "/offer=A"}}},
      {.name = "ExclusiveOfferEndsTheLoop",
       .answer = Answer({Offer("X", {{"exc", true}}), Offer("A")}),
       .choices = "a",
       .pages = Pages(1),
       .events = {{"", kStarted}, {kProductTitle, kProductDone}, {"X", {{"3", ""}}}},
       .started = {{"X.exe", "/offer=X"}}},
      {.name = "OfferLimit",
       .answer = Answer({Offer("A"), Offer("B")}, 1),
       .choices = "a",
       .pages = Pages(1),
       .events = {{"", kStarted}, {kProductTitle, kProductDone}, {"A", {{"3", ""}}}},
       .started = {{"A.exe", "/offer=A"}}},
      {.name = "ServerFailsTheRequest",
       .answer = Answer({}),
       .faults = {{"/o", {{"statuses", {503, 503, 503}}}}},
       .pages = {L"LoadingPage"},
       .events = {{"", kStarted}},
       .errorTitle = kConfigurationErrorTitle,
       .errorText = kConfigurationErrorText,
       .diagnostics = {"Failed to send config request. 503 0", "Failed to send config request. 503 0",
                       "Failed to send config request. 503 0",
                       "Configuration request failed: configuration answer check failed"}},
      {.name = "EmptyProductTitle",
       .answer = missingTitle,
       .pages = {L"LoadingPage"},
       .events = {{"", kStarted}},
       .errorTitle = kConfigurationErrorTitle,
       .errorText = kConfigurationErrorText},
  };
}

std::size_t EventCount(const EventsByPackage& events) {
  std::size_t count = 0;
  for (const auto& [package, list] : events) count += list.size();
  return count;
}

// Download failures carry the transport's own wording after the prefix;
// only the prefix is compared.
EventsByPackage WithoutErrorDetails(EventsByPackage events) {
  for (auto& [package, list] : events)
    for (StoredEvent& event : list)
      if (event.text.starts_with("DOWNLOAD FAILED: ")) event.text = "DOWNLOAD FAILED: ";
  return events;
}

class WholeRunScenarioTest : public wholerun::WholeRunTest, public testing::WithParamInterface<Scenario> {};

// Each scenario's pages, stored events, started installers and files.
TEST_P(WholeRunScenarioTest, PagesEventsAndFiles) {
  const Scenario& scenario = GetParam();
  StartRun(scenario.answer, scenario.faults);
  ASSERT_TRUE(PassLanguageAndWelcome());
  for (const char choice : scenario.choices) {
    ASSERT_TRUE(driver.WaitFor([this] { return Showing() == L"ProductPage"; })) << WideToUtf8(Showing());
    const unsigned page = CurrentPage();
    ASSERT_TRUE(driver.Click(CurrentWindow(), choice == 'a' ? ids::kAcceptButton : ids::kDeclineButton));
    ASSERT_TRUE(driver.WaitFor([&] { return CurrentPage() != page || Showing() == L"ErrorPage"; }));
  }

  const bool errorExpected = !scenario.errorTitle.empty();
  ASSERT_TRUE(driver.WaitFor([&] { return Showing() == (errorExpected ? L"ErrorPage" : L"FinishPageDLM"); }))
      << WideToUtf8(Showing());
  const std::vector<std::wstring> lines = services.debugOutput->Lines();
  std::vector<std::wstring> pages;
  for (const std::wstring& line : lines) pages.push_back(line.substr(0, line.size() - 1));
  EXPECT_EQ(pages, scenario.pages);

  if (errorExpected) {
    const auto errorPage = Driver::FindDialog(ids::kErrorPage)->handle;
    EXPECT_EQ(Driver::ControlOf(errorPage, ids::kErrorTitle)->text, scenario.errorTitle);
    EXPECT_EQ(Driver::ControlOf(errorPage, ids::kErrorText)->text, scenario.errorText);
    ASSERT_TRUE(driver.Click(errorPage, ids::kCloseButton));
  } else {
    // The product went to Downloads under the answer's name; Finish opens it
    // and removes the work folder.
    const fs::path product = Downloads() / wholerun::kProductFile;
    EXPECT_EQ(ReadFile(product), ReadFile(BRIMVALE_TEST_INSTALLER));
    const std::wstring workFolder = configuration->workFolder;
    ASSERT_TRUE(driver.Click(CurrentWindow(), ids::kFinishButton));
    ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_FALSE(fs::exists(fs::path(workFolder)));
    ASSERT_FALSE(services.shell->Requests().empty());
    EXPECT_EQ(services.shell->Requests().back().file, Downloads().wstring() + L"\\" + Utf8ToWide(wholerun::kProductFile));
  }
  ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);

  WaitForStoredEvents(EventCount(scenario.events));
  EXPECT_EQ(WithoutErrorDetails(StoredEvents()), scenario.events);
  WaitForInstallers(scenario.started.size());
  const auto started = StartedInstallers();
  EXPECT_EQ(started.size(), scenario.started.size());
  for (const auto& [program, arguments] : scenario.started) {
    ASSERT_TRUE(started.contains(program)) << program;
    EXPECT_NE(started.at(program).find(arguments), std::string::npos) << started.at(program);
  }
  EXPECT_EQ(services.debugOutput->Diagnostics(), scenario.diagnostics);
}

INSTANTIATE_TEST_SUITE_P(Runs, WholeRunScenarioTest, testing::ValuesIn(Scenarios()),
                         [](const auto& info) { return info.param.name; });

class WholeRunClosingTest : public wholerun::WholeRunTest {};

// Closing on a product page: the shown offer, then the main package, report 5; nothing was downloaded.
TEST_F(WholeRunClosingTest, ClosingOnAProductPageReportsTheFinalEvents) {
  StartRun(Answer({Offer("A"), Offer("B")}));
  ASSERT_TRUE(PassLanguageAndWelcome());
  ASSERT_TRUE(WaitForPage(L"ProductPage"));
  CloseConfirmed();
  // The closing waits for its events: they are stored when the dialog ends.
  EXPECT_EQ(StoredEvents(), (EventsByPackage{{"", kStarted}, {kProductTitle, {{"5", ""}}}, {"A", {{"5", ""}}}}));
  EXPECT_TRUE(fs::is_empty(Downloads()));
}

// Closing on the finish page asks nothing and sends nothing twice: every package already reported its final event.
TEST_F(WholeRunClosingTest, ClosingOnTheFinishPageAddsNoEvent) {
  StartRun(Answer({Offer("A")}));
  ASSERT_TRUE(PassLanguageAndWelcome());
  ASSERT_TRUE(WaitForPage(L"ProductPage"));
  ASSERT_TRUE(driver.Click(CurrentWindow(), ids::kAcceptButton));
  ASSERT_TRUE(WaitForPage(L"FinishPageDLM"));
  WaitForStoredEvents(3);
  DrainEvents();
  const std::wstring workFolder = configuration->workFolder;
  ASSERT_TRUE(driver.Close(HostWindow()));
  ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_TRUE(Driver::MessageBoxes().empty());
  EXPECT_EQ(StoredEvents(), (EventsByPackage{{"", kStarted}, {kProductTitle, kProductDone}, {"A", {{"3", ""}}}}));
  EXPECT_FALSE(fs::exists(fs::path(workFolder)));
}

// Closing while the product downloads stops the transfer: no partial file, no work folder, the main package's 5.
TEST_F(WholeRunClosingTest, ClosingDuringTheDownloadStopsIt) {
  StartRun(Answer({}), {{"/files/BrimvaleProduct.exe", {{"bytesPerSecond", 64 * 1024}}}});
  ASSERT_TRUE(PassLanguageAndWelcome());
  ASSERT_TRUE(WaitForPage(L"DownloadPageDLM"));
  const fs::path product = Downloads() / wholerun::kProductFile;
  ASSERT_TRUE(driver.WaitFor([&] { return fs::exists(product) && fs::file_size(product) > 0; }));
  const std::wstring workFolder = configuration->workFolder;
  // The close box is disabled here; Escape still asks.
  ASSERT_TRUE(driver.SendCommand(HostWindow(), ui::kIdCancelCommand));
  AnswerBox(platform::kIdOk);
  ASSERT_EQ(result.wait_for(std::chrono::seconds(20)), std::future_status::ready);
  thread.Run([this] { host.reset(); });  // waits for the stopped transfer
  EXPECT_FALSE(fs::exists(product));
  EXPECT_FALSE(fs::exists(fs::path(workFolder)));
  EXPECT_EQ(StoredEvents(), (EventsByPackage{{"", kStarted}, {kProductTitle, {{"5", ""}}}}));
}

// Back from index 2 to the language page and Next again: no second main package, no second event 1.
TEST_F(WholeRunClosingTest, BackToTheLanguagePageDoesNotStartAgain) {
  StartRun(Answer({}));
  ASSERT_TRUE(driver.Click(PageWindow(0), ids::kNextButton));
  ASSERT_TRUE(WaitForPage(L"WelcomePage", 2));
  const auto mainPackage = configuration->mainPackage;
  thread.Run([this] { host->OnPageButton(ButtonType::Back); });
  ASSERT_EQ(CurrentPage(), 0u);
  ASSERT_TRUE(driver.Click(PageWindow(0), ids::kNextButton));
  ASSERT_TRUE(WaitForPage(L"WelcomePage", 2));
  EXPECT_EQ(configuration->mainPackage, mainPackage);
  ASSERT_TRUE(driver.Click(CurrentWindow(), ids::kNextButton));
  ASSERT_TRUE(WaitForPage(L"FinishPageDLM"));
  WaitForStoredEvents(2);
  EXPECT_EQ(StoredEvents(), (EventsByPackage{{"", kStarted}, {kProductTitle, kProductDone}}));
}

}  // namespace
