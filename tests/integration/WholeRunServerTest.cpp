// The download-manager wizard's whole run against the reference server: the
// pages the user passes, the events the server stored and the files left.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

#include "config/RequestSignature.h"
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
  // Served in place of the answer's text when set (the answer still names the files served).
  std::string answerText{};
  std::chrono::milliseconds stallTimeout{30'000};
  // How long the run may take to rest on its last page.
  std::chrono::seconds settlesWithin{10};
  // Free space on the disk the downloads are written to; unset: unlimited.
  std::optional<std::int64_t> diskSpace{};
  std::string choices{};
  // The pages that became current after the language page, in order.
  std::vector<std::wstring> pages{};
  EventsByPackage events{};
  // Installer records (by program name) and a piece of their command line.
  std::map<std::string, std::string> started{};
  // Empty: the run ends on the finish page. Otherwise the error page's texts.
  std::wstring errorTitle{};
  std::wstring errorText{};
  // The transport diagnostics of the run, in order, unless not compared.
  std::vector<std::string> diagnostics{};
  bool diagnosticsCompared = true;
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

std::string InstallerDigest() {
  std::ifstream in(BRIMVALE_TEST_INSTALLER, std::ios::binary);
  return Sha256Hex(std::string(std::istreambuf_iterator<char>(in), {}));
}

// "[[[...]]]" nested `depth` deep, written without recursion.
std::string Nested(std::size_t depth) { return std::string(depth, '[') + std::string(depth, ']'); }

// The fault matrix: the connection or the disk failing under the product,
// a downgrading redirect, hostile hosts and answers.
std::vector<Scenario> FaultScenarios() {
  const std::string productUrl = wholerun::ServerUrl("/files/BrimvaleProduct.exe");
  const std::string plainProductUrl = "http://" + productUrl.substr(std::string("https://").size());
  const std::vector<std::wstring> productFailedPages = {L"LoadingPage", L"WelcomePage", L"DownloadPageDLM"};
  const std::wstring downloadErrorTitle = L"Error in downloading";
  const std::wstring downloadErrorText = L"Please try to download later";

  json checked = Answer({Offer("W", {{"sha256", Sha256Hex("another program")}}), Offer("A", {{"sha256", InstallerDigest()}})});
  checked["i"]["sha256"] = InstallerDigest();
  json huge = Answer({Offer("A")});
  huge["i"]["padding"] = std::string(40 * 1024 * 1024, 'p');
  const std::string deepMember = Answer({Offer("A")}).dump();
  std::vector<json> manyOffers;
  for (int i = 0; i < 2000; ++i) manyOffers.push_back(Offer("R" + std::to_string(i), {{"ir", {kRefusalRule}}}));
  manyOffers.push_back(Offer("A"));
  EventsByPackage manyOfferEvents = {{"", kStarted}, {kProductTitle, kProductDone}, {"A", {{"3", ""}}}};
  for (int i = 0; i < 2000; ++i) manyOfferEvents["R" + std::to_string(i)] = {{"2", "NONE OF THE REGISTRY KEYS EXISTS"}};

  return {
      // Both transfers lose the connection after 1000 bytes; nothing of the product is left.
      {.name = "ConnectionDroppedInTheProduct",
       .answer = Answer({}),
       .faults = {{"/files/BrimvaleProduct.exe", {{"cutAfter", 1000}}}},
       .pages = productFailedPages,
       .events = {{"", kStarted},
                  {kProductTitle, {{"3", "DOWNLOAD FAILED: [WINHTTP] Download was incomplete: content length: "}}}},
       .errorTitle = downloadErrorTitle,
       .errorText = downloadErrorText},
      // The server stops sending after 1000 bytes: each transfer gives up after the stall time-out.
      {.name = "ServerStopsSendingTheProduct",
       .answer = Answer({}),
       .faults = {{"/files/BrimvaleProduct.exe", {{"cutAfter", 1000}, {"stallSeconds", 60}}}},
       .stallTimeout = std::chrono::milliseconds(1000),
       // libcurl judges a stall by the speed of the last five seconds: each transfer gives up after 6-7 s.
       .settlesWithin = std::chrono::seconds(30),
       .pages = productFailedPages,
       .events = {{"", kStarted}, {kProductTitle, {{"3", "DOWNLOAD FAILED: [WINHTTP] Failed to query data: 12002"}}}},
       .errorTitle = downloadErrorTitle,
       .errorText = downloadErrorText},
      {.name = "DiskFullWhileWritingTheProduct",
       .answer = Answer({}),
       .diskSpace = 1000,
       .pages = productFailedPages,
       .events = {{"", kStarted},
                  {kProductTitle,
                   {{"3", "DOWNLOAD FAILED: [WINHTTP] Failed to write to file: 112 - There is not enough space on the "
                          "disk.\r\n [WININET] Failed to write to file: 112 - There is not enough space on the "
                          "disk.\r\n"}}}},
       .errorTitle = downloadErrorTitle,
       .errorText = downloadErrorText},
      {.name = "RedirectFromHttpsToHttpIsRefused",
       .answer = Answer({}),
       .faults = {{"/files/BrimvaleProduct.exe", {{"redirects", 1}, {"redirectTo", plainProductUrl}}}},
       .pages = productFailedPages,
       .events = {{"", kStarted},
                  {kProductTitle,
                   {{"3", "DOWNLOAD FAILED: [WINHTTP] Redirect from HTTPS to HTTP refused. [WININET] Failed to open "
                          "URL:: 12040 - "}}}},
       .errorTitle = downloadErrorTitle,
       .errorText = downloadErrorText},
      // The product and offer A have their digests; W's bytes are not the ones named: not kept, not started.
      {.name = "ChecksumMismatchIsNotStarted",
       .answer = checked,
       .choices = "aa",
       .pages = Pages(2),
       .events = {{"", kStarted}, {kProductTitle, kProductDone},
                  {"W", {{"-1", "DOWNLOAD FAILED: checksum mismatch"}}}, {"A", {{"3", ""}}}},
       .started = {{"A.exe", "/offer=A"}}},
      // The picture never ends: cut at 32 MiB twice, the offer is shown without it.
      {.name = "EndlessImageIsCut",
       .answer = Answer({Offer("A")}),
       .faults = {{"/f/A.png", {{"endless", true}}}},
       .choices = "a",
       .pages = Pages(1),
       .events = {{"", kStarted}, {kProductTitle, kProductDone}, {"A", {{"3", ""}}}},
       .started = {{"A.exe", "/offer=A"}}},
      {.name = "HugeAnswer",
       .answer = huge,
       .choices = "a",
       .pages = Pages(1),
       .events = {{"", kStarted}, {kProductTitle, kProductDone}, {"A", {{"3", ""}}}},
       .started = {{"A.exe", "/offer=A"}}},
      // A member nested a million deep that nothing reads.
      {.name = "DeeplyNestedMember",
       .answer = Answer({Offer("A")}),
       .answerText = deepMember.substr(0, deepMember.size() - 1) + ",\"deep\":" + Nested(1'000'000) + "}",
       .choices = "a",
       .pages = Pages(1),
       .events = {{"", kStarted}, {kProductTitle, kProductDone}, {"A", {{"3", ""}}}},
       .started = {{"A.exe", "/offer=A"}}},
      // The offers themselves nested a million deep: no offer can be read, a configuration error.
      {.name = "DeeplyNestedOffers",
       .answer = Answer({}),
       .answerText = R"({"l":"US","i":)" + wholerun::ProductAnswer().dump() + R"(,"f":{"a":"p","m":5},"o":[)" +
                     Nested(1'000'000) + "]}",
       .pages = {L"LoadingPage"},
       .events = {{"", kStarted}},
       .errorTitle = kConfigurationErrorTitle,
       .errorText = kConfigurationErrorText,
       .diagnosticsCompared = false},
      // Two thousand offers the machine refuses, then one it accepts.
      {.name = "ThousandsOfOffers",
       .answer = Answer(manyOffers),
       .choices = "a",
       .pages = Pages(1),
       .events = manyOfferEvents,
       .started = {{"A.exe", "/offer=A"}}},
  };
}

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

// Download failures carry the transport's own wording: a stored failure
// text that begins with the expected one counts as that one.
EventsByPackage WithoutErrorDetails(EventsByPackage events, const EventsByPackage& expected) {
  for (auto& [package, list] : events) {
    const auto found = expected.find(package);
    for (std::size_t i = 0; found != expected.end() && i < list.size() && i < found->second.size(); ++i) {
      const std::string& prefix = found->second[i].text;
      if (prefix.starts_with("DOWNLOAD FAILED: ") && list[i].text.starts_with(prefix)) list[i].text = prefix;
    }
  }
  return events;
}

class WholeRunScenarioTest : public wholerun::WholeRunTest, public testing::WithParamInterface<Scenario> {};

// Each scenario's pages, stored events, started installers and files.
TEST_P(WholeRunScenarioTest, PagesEventsAndFiles) {
  const Scenario& scenario = GetParam();
  stallTimeout = scenario.stallTimeout;
  if (scenario.diskSpace) services.files->diskSpace = std::make_shared<std::atomic<std::int64_t>>(*scenario.diskSpace);
  StartRun(scenario.answer, scenario.faults, scenario.answerText);
  ASSERT_TRUE(PassLanguageAndWelcome());
  for (const char choice : scenario.choices) {
    ASSERT_TRUE(driver.WaitFor([this] { return Showing() == L"ProductPage"; })) << WideToUtf8(Showing());
    const unsigned page = CurrentPage();
    ASSERT_TRUE(driver.Click(CurrentWindow(), choice == 'a' ? ids::kAcceptButton : ids::kDeclineButton));
    ASSERT_TRUE(driver.WaitFor([&] { return CurrentPage() != page || Showing() == L"ErrorPage"; }));
  }

  const bool errorExpected = !scenario.errorTitle.empty();
  ASSERT_TRUE(ui::headless::Driver(scenario.settlesWithin).WaitFor([&] { return Showing() == (errorExpected ? L"ErrorPage" : L"FinishPageDLM"); }))
      << WideToUtf8(Showing());
  const std::vector<std::wstring> lines = services.debugOutput->Lines();
  std::vector<std::wstring> pages;
  for (const std::wstring& line : lines) pages.push_back(line.substr(0, line.size() - 1));
  EXPECT_EQ(pages, scenario.pages);

  if (errorExpected) {
    const auto errorPage = Driver::FindDialog(ids::kErrorPage)->handle;
    EXPECT_EQ(Driver::ControlOf(errorPage, ids::kErrorTitle)->text, scenario.errorTitle);
    EXPECT_EQ(Driver::ControlOf(errorPage, ids::kErrorText)->text, scenario.errorText);
    // Nothing of a failed product is left where the user would find it.
    EXPECT_TRUE(fs::is_empty(Downloads()));
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
  EXPECT_EQ(WithoutErrorDetails(StoredEvents(), scenario.events), scenario.events);
  WaitForInstallers(scenario.started.size());
  const auto started = StartedInstallers();
  EXPECT_EQ(started.size(), scenario.started.size());
  for (const auto& [program, arguments] : scenario.started) {
    ASSERT_TRUE(started.contains(program)) << program;
    EXPECT_NE(started.at(program).find(arguments), std::string::npos) << started.at(program);
  }
  if (scenario.diagnosticsCompared) {
    EXPECT_EQ(services.debugOutput->Diagnostics(), scenario.diagnostics);
  }
}

INSTANTIATE_TEST_SUITE_P(Runs, WholeRunScenarioTest, testing::ValuesIn(Scenarios()),
                         [](const auto& info) { return info.param.name; });
INSTANTIATE_TEST_SUITE_P(Faults, WholeRunScenarioTest, testing::ValuesIn(FaultScenarios()),
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

// The event host takes every report and never answers: closing waits for
// each round of reports (the shown offers' together, then the main
// package's) only until the transport gives up on it, then the wizard ends.
// Natively a transfer is given up once libcurl has seen no byte for the
// stall time-out (here 2 s) within its five-second speed window.
TEST_F(WholeRunClosingTest, ClosingWithTheEventHostDownEndsWithinTheTimeOuts) {
  stallTimeout = std::chrono::milliseconds(2000);
  const auto givingUp = stallTimeout + std::chrono::seconds(6);
  StartRun(Answer({Offer("A")}), {{"/zbd", {{"stallSeconds", 120}}}});
  ASSERT_TRUE(PassLanguageAndWelcome());
  ASSERT_TRUE(WaitForPage(L"ProductPage"));
  ui::headless::Driver patient(std::chrono::seconds(60));
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(patient.Close(HostWindow()));
  ASSERT_TRUE(patient.WaitFor([] { return !Driver::MessageBoxes().empty(); }));
  ASSERT_TRUE(patient.AnswerMessageBox(platform::kIdOk));
  ASSERT_EQ(result.wait_for(std::chrono::seconds(60)), std::future_status::ready);
  thread.Run([this] { host.reset(); });
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
  std::cout << "closing with the event host down took " << took.count() << " ms\n";
  EXPECT_LT(took, 2 * givingUp + std::chrono::seconds(4));
  EXPECT_EQ(StoredCount(), 0u);
  // Every report was given up: the start, and the two closing events.
  const std::vector<std::string> diagnostics = services.debugOutput->Diagnostics();
  EXPECT_EQ(std::count_if(diagnostics.begin(), diagnostics.end(),
                          [](const std::string& line) { return line.find(" dropped: ") != std::string::npos; }),
            3)
      << testing::PrintToString(diagnostics);
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
