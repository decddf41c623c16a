// The BT classic pages in the host: where the two flags put them in the
// sequence, what their Next and Back store into btOptions, and the vendor
// installer's arguments built from those options.
#include <gtest/gtest.h>

#include <array>

#include "install/InstallerArguments.h"
#include "packages/Package.h"
#include "telemetry/EventTemplate.h"
#include "tests/unit/WizardTestHarness.h"
#include "util/Utf8.h"

namespace {

using ui::headless::Driver;
using wizardtest::TestPage;

// The program's pages, with a plain loading page whose hand-over the test
// makes, and plain licence and download pages: their own work is tested
// elsewhere.
class BtTestPages : public wizardtest::TestPages {
 public:
  using TestPages::TestPages;

  std::unique_ptr<IPage> CreateLoadingPage(const PageContext& context, ui::Dialog* host,
                                           LoadCompletion completionCallback) override {
    completion = std::move(completionCallback);
    return std::make_unique<TestPage>(context, ids::kLoadingPage, host, L"LoadingPage");
  }
  std::unique_ptr<IPage> CreateLicensePageIsv(const PageContext& context, ui::Dialog* host) override {
    return std::make_unique<TestPage>(context, ids::kLicensePage, host, L"LicensePageIsv");
  }
  std::unique_ptr<IPage> CreateDownloadPageDlm(const PageContext& context, ui::Dialog* host) override {
    return std::make_unique<TestPage>(context, ids::kDownloadPageDlm, host, L"DownloadPageDLM");
  }
  std::unique_ptr<IPage> CreateDownloadPageIsv(const PageContext& context, ui::Dialog* host,
                                               InstallNotifications) override {
    return std::make_unique<TestPage>(context, ids::kDownloadPageIsv, host, L"DownloadPageISV");
  }

  LoadCompletion completion;
};

class BtClassicTest : public wizardtest::WizardTest {
 protected:
  std::shared_ptr<PageFactory> MakePages(std::shared_ptr<ApiManager> api,
                                         std::shared_ptr<DownloadManager> downloadManager) override {
    pages = std::make_shared<BtTestPages>(std::move(api), std::move(downloadManager));
    return pages;
  }

  // Starts a wizard of the kind with the flags, leaves the language page and
  // hands over `offers` offers: the wizard rests on page 2.
  void StartLoaded(const std::string& wizardKey, bool btClassic, bool btWarning, int offers = 0) {
    Start(wizardKey, L"en_US.UTF-8", {.wizardKey = wizardKey, .btClassic = btClassic, .btWarning = btWarning});
    ASSERT_TRUE(driver.Click(PageWindow(0), ids::kNextButton));
    std::vector<std::shared_ptr<Package>> loaded;
    for (int i = 0; i < offers; ++i)
      loaded.push_back(std::make_shared<Package>(BuildEventTemplate(*configuration), false, L"A", L"feed", L"A Tool",
                                                 L"", i, configuration));
    pages->completion(std::move(loaded));
    ASSERT_TRUE(driver.WaitFor([this] { return CurrentPage() == 2; }));
  }

  std::vector<std::wstring> PageNames() {
    return thread.Run([this] {
      std::vector<std::wstring> names;
      for (std::size_t i = 0; i < host->PageCount(); ++i) names.push_back(host->PageAt(i)->GetPageName());
      return names;
    });
  }
  ui::WindowHandle CurrentWindow() { return PageWindow(CurrentPage()); }
  std::wstring CurrentName() {
    return thread.Run([this] { return host->PageAt(host->CurrentPageIndex())->GetPageName(); });
  }
  ui::WindowHandle WindowOf(const std::wstring& name) {
    return thread.Run([&] {
      for (std::size_t i = 0; i < host->PageCount(); ++i)
        if (host->PageAt(i)->GetPageName() == name) return host->PageAt(i)->Handle();
      return ui::WindowHandle{};
    });
  }

  std::shared_ptr<BtTestPages> pages;
};

struct SequenceCase {
  std::string name{};
  std::string wizardKey{};
  bool btClassic = false;
  bool btWarning = false;
  std::vector<std::wstring> pages{};
};

void PrintTo(const SequenceCase& sequence, std::ostream* out) { *out << sequence.name; }

class BtSequenceTest : public BtClassicTest, public testing::WithParamInterface<SequenceCase> {};

// The flags pick the pages after loading; one offer stands for the product pages.
TEST_P(BtSequenceTest, FlagsPickThePages) {
  const SequenceCase& sequence = GetParam();
  StartLoaded(sequence.wizardKey, sequence.btClassic, sequence.btWarning, 1);
  EXPECT_EQ(PageNames(), sequence.pages);
  EXPECT_TRUE(Driver::IsShown(PageWindow(2)));
}

INSTANTIATE_TEST_SUITE_P(
    Flags, BtSequenceTest,
    testing::Values(
        SequenceCase{"VendorBothFlags", "ISV", true, true,
                     {L"LanguagePageBT", L"LoadingPage", L"WarningPageBTClassic", L"LicensePageIsv", L"ProductPage",
                      L"OptionsPageBTClassic", L"ConfigurationsPageBTClassic", L"DownloadPageISV", L"FinishPageISV"}},
        SequenceCase{"VendorClassicOnly", "ISV", true, false,
                     {L"LanguagePageBT", L"LoadingPage", L"LicensePageIsv", L"ProductPage", L"DownloadPageISV",
                      L"FinishPageISV"}},
        SequenceCase{"VendorWarningOnly", "ISV", false, true,
                     {L"LanguagePage", L"LoadingPage", L"WelcomePage", L"ProductPage", L"OptionsPageBTClassic",
                      L"ConfigurationsPageBTClassic", L"DownloadPageISV", L"FinishPageISV"}},
        SequenceCase{"DownloadManagerBothFlags", "DLM", true, true,
                     {L"LanguagePageBT", L"LoadingPage", L"WarningPageBTClassic", L"LicensePageIsv", L"ProductPage",
                      L"OptionsPageBTClassic", L"ConfigurationsPageBTClassic", L"DownloadPageDLM", L"FinishPageDLM"}},
        SequenceCase{"DownloadManagerNoFlags", "DLM", false, false,
                     {L"LanguagePage", L"LoadingPage", L"WelcomePage", L"ProductPage", L"DownloadPageDLM",
                      L"FinishPageDLM"}}),
    [](const auto& info) { return info.param.name; });

// One page of a walk: the check boxes clicked on it, then the button pressed.
struct Step {
  std::wstring page{};
  std::vector<int> clicks{};
  int button = ids::kNextButton;
};

struct OptionsCase {
  std::string name{};
  std::vector<Step> steps{};
  std::array<bool, 8> stored{};
  std::wstring arguments{};  // of the vendor installer, after the walk
};

void PrintTo(const OptionsCase& walk, std::ostream* out) { *out << walk.name; }

constexpr bool T = true;
constexpr bool F = false;

const Step kWarning{L"WarningPageBTClassic"};
const Step kLicense{L"LicensePageIsv", {}, ids::kAgreeButton};
const Step kOptions{L"OptionsPageBTClassic"};
const Step kConfigurations{L"ConfigurationsPageBTClassic"};

class BtOptionsTest : public BtClassicTest, public testing::WithParamInterface<OptionsCase> {};

// Next stores the check boxes of its page; Back stores nothing; the installer gets them as its option string.
TEST_P(BtOptionsTest, WalkStoresTheOptions) {
  StartLoaded("ISV", true, true);
  for (const Step& step : GetParam().steps) {
    ASSERT_EQ(CurrentName(), step.page);
    const ui::WindowHandle page = CurrentWindow();
    for (const int box : step.clicks) ASSERT_TRUE(driver.Click(page, box)) << box;
    ASSERT_TRUE(driver.Click(page, step.button)) << WideToUtf8(step.page);
  }
  EXPECT_EQ(configuration->btOptions, GetParam().stored);
  EXPECT_EQ(MakeInstallerArguments(true, "", *configuration, true), GetParam().arguments);
}

INSTANTIATE_TEST_SUITE_P(
    Walks, BtOptionsTest,
    testing::Values(
        OptionsCase{"Untouched",
                    {kWarning, kLicense, kOptions, kConfigurations},
                    {T, T, T, T, T, T, T, T},
                    L"/S /FORCEINSTALL 1110010101111110"},
        OptionsCase{"SecondOptionUnchecked",
                    {kWarning, kLicense, {kOptions.page, {ids::kOptionsCheck2}}, kConfigurations},
                    {T, F, T, T, T, T, T, T},
                    L"/S /FORCEINSTALL 1110010101110110"},
        OptionsCase{"FirstConfigurationUnchecked",
                    {kWarning, kLicense, kOptions, {kConfigurations.page, {ids::kConfigurationsCheck1}}},
                    {T, T, T, F, T, T, T, T},
                    L"/S /FORCEINSTALL 1100010101111110"},
        // Back from the configurations page: the changes are not stored.
        OptionsCase{"BackStoresNothing",
                    {kWarning, kLicense, kOptions,
                     {kConfigurations.page, {ids::kConfigurationsCheck1, ids::kConfigurationsCheck3}, ids::kBackButton}},
                    {T, T, T, F, F, F, F, F},
                    L"/S /FORCEINSTALL 0000000101001110"},
        // ... but the boxes keep them, and the next Next stores what they show.
        OptionsCase{"BoxesKeepTheirStateOverBack",
                    {kWarning, kLicense, kOptions,
                     {kConfigurations.page, {ids::kConfigurationsCheck1, ids::kConfigurationsCheck3}, ids::kBackButton},
                     kOptions, kConfigurations},
                    {T, T, T, F, T, F, T, T},
                    L"/S /FORCEINSTALL 0100010101101110"}),
    [](const auto& info) { return info.param.name; });

// Every check box starts checked; the shipped texts leave the template captions but for Next and Back; the title's
// large heavy font stays when the page is left and shown again; links in the warning open nothing.
TEST_F(BtClassicTest, PagesShowTheirCaptionsAndKeepTheTitleFont) {
  StartLoaded("ISV", true, true);
  const struct {
    std::wstring page;
    int title;
    std::wstring titleCaption;
    std::vector<int> checkBoxes;
  } pagesUnderTest[] = {
      {L"WarningPageBTClassic", ids::kWarningTitle, L"WARNING_TITLE placeholder", {}},
      {L"OptionsPageBTClassic", ids::kOptionsTitle, L"OPTIONS_TITLE placeholder",
       {ids::kOptionsCheck1, ids::kOptionsCheck2, ids::kOptionsCheck3}},
      {L"ConfigurationsPageBTClassic", ids::kConfigurationsTitle, L"CONFIGURATIONS_TITLE placeholder",
       {ids::kConfigurationsCheck1, ids::kConfigurationsCheck2, ids::kConfigurationsCheck3,
        ids::kConfigurationsCheck4, ids::kConfigurationsCheck5}},
  };
  const ui::FontSpec pageFont = Driver::ControlOf(WindowOf(L"WarningPageBTClassic"), ids::kWarningSubtitle)->font.value();
  // Walk to the configurations page and back to the options page, so every page has been shown and hidden.
  for (const Step& step : {kWarning, kLicense, kOptions}) ASSERT_TRUE(driver.Click(CurrentWindow(), step.button));
  ASSERT_TRUE(driver.Click(CurrentWindow(), ids::kBackButton));
  ASSERT_EQ(CurrentName(), L"OptionsPageBTClassic");

  for (const auto& expected : pagesUnderTest) {
    SCOPED_TRACE(WideToUtf8(expected.page));
    const ui::WindowHandle page = WindowOf(expected.page);
    const auto title = Driver::ControlOf(page, expected.title);
    EXPECT_EQ(title->text, expected.titleCaption);
    EXPECT_EQ(title->font, (ui::FontSpec{pageFont.face, 12, 1000}));
    EXPECT_EQ(Driver::ControlOf(page, ids::kNextButton)->text, L"Next");
    for (const int box : expected.checkBoxes) EXPECT_EQ(Driver::ControlOf(page, box)->check, ui::kBstChecked) << box;
  }
  const ui::WindowHandle configurations = WindowOf(L"ConfigurationsPageBTClassic");
  EXPECT_EQ(Driver::ControlOf(configurations, ids::kBackButton)->text, L"Back");
  EXPECT_EQ(Driver::ControlOf(configurations, ids::kConfigurationsCheck1Label)->text, L"OPTIONS_2_CHECKBOX placeholder");
  EXPECT_EQ(Driver::ControlOf(configurations, ids::kConfigurationsCheck1)->text, L"");
  EXPECT_EQ(Driver::ControlOf(WindowOf(L"OptionsPageBTClassic"), ids::kBackButton), std::nullopt);

  // The warning text lies on the page's background; its links are shown only.
  const ui::WindowHandle warning = WindowOf(L"WarningPageBTClassic");
  EXPECT_EQ(driver.BackgroundOf(warning, ids::kWarningText),
            (ui::CtlColor{.background = configuration->backgroundColor, .transparentText = true}));
  thread.Run([&] { host->PageAt(2)->Item(ids::kWarningText).SetText(L"See <a href=\"https://example.org/\">this</a>"); });
  thread.Run([this] { host->GoToPage(2); });
  ASSERT_TRUE(driver.ClickLink(warning, ids::kWarningText, 0));
  EXPECT_TRUE(services.shell->Requests().empty());
}

}  // namespace
