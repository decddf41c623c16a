// The vendor-installer wizard built with both BT flags, run whole against the
// reference server: the warning, licence, options and configurations pages
// around the offers, and the product's installer started with the options
// the user left checked.
#include <gtest/gtest.h>

#include "tests/integration/WholeRunHarness.h"

namespace {

using wholerun::Answer;
using wholerun::EventsByPackage;
using wholerun::json;
using wholerun::Offer;

// One run: every offer accepted, the check boxes clicked on the options and
// configurations pages, Next everywhere else.
struct Scenario {
  std::string name{};
  std::vector<json> offers{};
  std::vector<int> optionClicks{};
  std::vector<int> configurationClicks{};
  // What the product's installer and each offer's were started with.
  std::map<std::string, std::string> started{};
};

void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

std::vector<std::wstring> Pages(std::size_t productPages) {
  std::vector<std::wstring> pages = {L"LoadingPage", L"WarningPageBTClassic", L"LicensePage"};
  pages.insert(pages.end(), productPages, L"ProductPage");
  for (const wchar_t* page :
       {L"OptionsPageBTClassic", L"ConfigurationsPageBTClassic", L"DownloadPageISV", L"FinishPageISV"})
    pages.push_back(page);
  return pages;
}

class BtClassicRunTest : public wholerun::WholeRunTest, public testing::WithParamInterface<Scenario> {};

// The pages of the run, its events, and the installers' command lines: the built-in arguments give way to the options.
TEST_P(BtClassicRunTest, OptionsReachTheProductsInstaller) {
  const Scenario& scenario = GetParam();
  Serve(Answer(scenario.offers));
  Start("ISV", L"en_US.UTF-8",
        {.wizardKey = "ISV",
         .btClassic = true,
         .btWarning = true,
         .productUrl = testserver::ProductUrl(L"/files/BrimvaleProduct.exe"),
         .mainProductArguments = L"/built-in"});

  ASSERT_TRUE(driver.Click(PageWindow(0), ids::kNextButton));
  const auto pass = [&](const std::wstring& page, const std::vector<int>& clicks, int button) {
    ASSERT_TRUE(WaitForPage(page)) << WideToUtf8(Showing());
    const ui::WindowHandle window = CurrentWindow();
    for (const int box : clicks) ASSERT_TRUE(driver.Click(window, box)) << box;
    ASSERT_TRUE(driver.Click(window, button));
  };
  pass(L"WarningPageBTClassic", {}, ids::kNextButton);
  pass(L"LicensePage", {}, ids::kAgreeButton);
  for (std::size_t i = 0; i < scenario.offers.size(); ++i) {
    ASSERT_TRUE(WaitForPage(L"ProductPage", 4 + i));
    ASSERT_TRUE(driver.Click(CurrentWindow(), ids::kAcceptButton));
  }
  pass(L"OptionsPageBTClassic", scenario.optionClicks, ids::kNextButton);
  pass(L"ConfigurationsPageBTClassic", scenario.configurationClicks, ids::kNextButton);
  ASSERT_TRUE(WaitForPage(L"FinishPageISV")) << WideToUtf8(Showing());

  std::vector<std::wstring> pages;
  for (const std::wstring& line : services.debugOutput->Lines()) pages.push_back(line.substr(0, line.size() - 1));
  EXPECT_EQ(pages, Pages(scenario.offers.size()));
  ASSERT_TRUE(driver.Click(CurrentWindow(), ids::kFinishButton));
  ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);

  // The main package reports under the built-in product title.
  EventsByPackage expected = {{"Quenbril", {{"1", ""}, {"3", ""}}}};
  for (const json& offer : scenario.offers) expected[offer["ad"]["o"].get<std::string>()] = {{"3", ""}};
  std::size_t count = 0;
  for (const auto& [package, list] : expected) count += list.size();
  WaitForStoredEvents(count);
  EXPECT_EQ(StoredEvents(), expected);

  WaitForInstallers(scenario.started.size());
  const auto started = StartedInstallers();
  EXPECT_EQ(started.size(), scenario.started.size());
  for (const auto& [program, arguments] : scenario.started) {
    ASSERT_TRUE(started.contains(program)) << program;
    // The record is the command line: the program's quoted path, a blank, the arguments.
    EXPECT_TRUE(started.at(program).ends_with("\" " + arguments + "\n")) << started.at(program);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, BtClassicRunTest,
    testing::Values(
        Scenario{.name = "OptionsUntouched",
                 .offers = {Offer("A")},
                 .started = {{"BrimvaleProduct.exe", "/S /FORCEINSTALL 1110010101111110"},
                             {"A.exe", "/quiet /offer=A"}}},
        Scenario{.name = "SomeOptionsUnchecked",
                 .optionClicks = {ids::kOptionsCheck2},
                 .configurationClicks = {ids::kConfigurationsCheck1},
                 .started = {{"BrimvaleProduct.exe", "/S /FORCEINSTALL 1100010101110110"}}}),
    [](const auto& info) { return info.param.name; });

}  // namespace
