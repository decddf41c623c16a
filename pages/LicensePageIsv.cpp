#include "pages/LicensePageIsv.h"

#include "config/ConfigurationManager.h"
#include "resources/DialogIds.h"
#include "ui/WindowStyles.h"
#include "util/ReplaceAll.h"

namespace {
constexpr int kTitleHeight = 12;
constexpr int kTitleWeight = 1000;
}  // namespace

LicensePageIsv::LicensePageIsv(const PageContext& context, ui::Dialog* parent)
    : IPage(context, ids::kLicensePage, parent) {}

bool LicensePageIsv::OnInitDialog() {
  IPage::OnInitDialog();
  licenseText = Item(ids::kLicenseEula);
  titleStatic = Item(ids::kLicenseTitle);
  linkLine = Item(ids::kLicenseLinks);
  licenseText.EnableUrlDetection(true);
  backgroundBrush = {.background = configuration->backgroundColor, .transparentText = true};
  BindText(ids::kLicenseTitle, "LICENSE_TITLE");
  BindText(ids::kLicenseText, "LICENSE_TEXT");
  BindText(ids::kLicenseEula, "LICENSE_EULA");
  BindText(ids::kLicenseLinks, "LICENSE_DISCLAIMER");
  BindText(ids::kAgreeButton, "BUTTON_AGREE");
  BindText(ids::kBackButton, "BUTTON_BACK");
  RefreshTexts();
  titleFont = ui::Font::DerivedFrom(titleStatic, kTitleHeight, kTitleWeight);
  if (titleFont.IsValid()) titleStatic.SetFont(titleFont);
  return true;
}

void LicensePageIsv::RefreshTexts() {
  IPage::RefreshTexts();
  SetLicenseLinks();
}

void LicensePageIsv::SetLicenseLinks() {
  if (!linkLine.Exists()) return;
  std::wstring text = linkLine.Text();
  ReplaceAll(text, L"[LICENSE_TOS_URL]", configuration->productTermsUrl);
  ReplaceAll(text, L"[LICENSE_PRIVACY_URL]", configuration->productPrivacyUrl);
  linkLine.SetText(text);
}

void LicensePageIsv::OnCommand(int controlId, int notifyCode) {
  if (notifyCode == ui::kBnClicked && controlId == ids::kAgreeButton) {
    if (buttonCallback) buttonCallback(ButtonType::Next);
  } else if (notifyCode == ui::kBnClicked && controlId == ids::kBackButton) {
    if (buttonCallback) buttonCallback(ButtonType::Back);
  } else {
    IPage::OnCommand(controlId, notifyCode);
  }
}

std::optional<ui::CtlColor> LicensePageIsv::OnCtlColor(int controlId) {
  if (controlId == ids::kLicenseLinks) return backgroundBrush;
  return IPage::OnCtlColor(controlId);
}
