// The licence page on the host: its link line, title font, licence text and buttons.
#include <gtest/gtest.h>

#include "locale/LanguageManager.h"
#include "pages/LicensePageIsv.h"
#include "tests/unit/WizardTestHarness.h"
#include "util/Utf8.h"

namespace {

using ui::headless::Driver;
using wizardtest::TestPage;

const std::string kLinkLine =
    "I agree to the <a href=\"[LICENSE_TOS_URL]\">Terms</a> and the <a href=\"[LICENSE_PRIVACY_URL]\">Privacy "
    "Policy</a> ([LICENSE_TOS_URL]).";

class LicensePageTest : public wizardtest::WizardTest {
 protected:
  // A vendor wizard whose sequence goes on with a page before the licence
  // page (index 2), the licence page (3) and a page after it (4).
  void StartWithLicensePage(const std::wstring& termsUrl, const std::wstring& privacyUrl) {
    Start("ISV");
    configuration->productTermsUrl = termsUrl;
    configuration->productPrivacyUrl = privacyUrl;
    thread.Run([this] { host->GetLanguageManager()->texts["LICENSE_DISCLAIMER"] = kLinkLine; });
    AddPages([](const PageContext& context, ui::Dialog* parent) {
      std::vector<std::unique_ptr<IPage>> pages;
      pages.push_back(std::make_unique<TestPage>(context, ids::kWarningPageBT, parent, L"WarningPage"));
      pages.push_back(std::make_unique<LicensePageIsv>(context, parent));
      pages.push_back(std::make_unique<TestPage>(context, ids::kOptionsPageBT, parent, L"OptionsPage"));
      return pages;
    });
    thread.Run([this] { host->GoToPage(3); });
  }

  std::wstring LinkLine() { return Driver::ControlOf(PageWindow(3), ids::kLicenseLinks)->text; }
};

// The placeholders carry the product's addresses, again after a language change refreshed the texts.
TEST_F(LicensePageTest, LinkLineIsFilledAfterEveryRefresh) {
  StartWithLicensePage(L"https://vendor.example/terms", L"https://vendor.example/privacy");
  const std::wstring filled =
      L"I agree to the <a href=\"https://vendor.example/terms\">Terms</a> and the <a "
      L"href=\"https://vendor.example/privacy\">Privacy Policy</a> (https://vendor.example/terms).";
  EXPECT_EQ(LinkLine(), filled);
  // A language whose text has the placeholders again.
  thread.Run([this] {
    host->GetLanguageManager()->texts["LICENSE_DISCLAIMER"] = kLinkLine;
    host->PageAt(3)->RefreshTexts();
  });
  EXPECT_EQ(LinkLine(), filled);
}

// A clicked link opens its address only when it is a web address.
TEST_F(LicensePageTest, OnlyWebLinksAreOpened) {
  const struct {
    std::wstring url;
    bool opened;
  } cases[] = {{L"https://vendor.example/terms", true},
               {L"http://vendor.example/terms", true},
               {L"file:///C:/Windows/System32/calc.exe", false},
               {L"C:\\Windows\\System32\\calc.exe", false},
               {L"", false}};
  for (const auto& [url, opened] : cases) {
    StartWithLicensePage(url, L"");
    const std::size_t before = services.shell->Requests().size();
    ASSERT_TRUE(driver.ClickLink(PageWindow(3), ids::kLicenseLinks, 0));
    const auto all = services.shell->Requests();
    const std::vector<platform::ShellRequest> requests(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
    if (opened) {
      EXPECT_EQ(requests, (std::vector<platform::ShellRequest>{{L"open", url, L"", L"", platform::kSwShowNormal}}));
    } else {
      EXPECT_TRUE(requests.empty()) << WideToUtf8(url);
    }
    TearDown();
  }
}

// The title in its heavy font, web addresses in the licence shown as links; Agree goes on, Back goes back.
TEST_F(LicensePageTest, TitleFontUrlDetectionAndButtons) {
  StartWithLicensePage(L"", L"");
  const auto title = Driver::ControlOf(PageWindow(3), ids::kLicenseTitle);
  ASSERT_TRUE(title->font);
  EXPECT_EQ(title->font->height, 12);
  EXPECT_EQ(title->font->weight, 1000);
  EXPECT_TRUE(Driver::ControlOf(PageWindow(3), ids::kLicenseEula)->urlDetection);

  ASSERT_TRUE(driver.Click(PageWindow(3), ids::kAgreeButton));
  EXPECT_EQ(CurrentPage(), 4u);
  thread.Run([this] { host->GoToPage(3); });
  ASSERT_TRUE(driver.Click(PageWindow(3), ids::kBackButton));
  EXPECT_EQ(CurrentPage(), 2u);
}

}  // namespace
