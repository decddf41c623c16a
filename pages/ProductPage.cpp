#include "pages/ProductPage.h"

#include <algorithm>

#include "config/ConfigurationManager.h"
#include "packages/Package.h"
#include "resources/DialogIds.h"
#include "telemetry/EventProtocol.h"
#include "ui/WindowStyles.h"
#include "util/ReplaceAll.h"
#include "util/Utf8.h"

ProductPage::ProductPage(const PageContext& context, std::shared_ptr<Package> package, ui::Dialog* parent)
    : IPage(context, ids::kProductPage, parent), package(std::move(package)) {}

bool ProductPage::OnInitDialog() {
  IPage::OnInitDialog();
  backgroundBrush = {.background = configuration->backgroundColor, .transparentText = true};
  disclaimerLink = Item(ids::kDisclaimerLink);
  offerImage.Attach(Item(ids::kOfferImage));
  // The picture as it is now; one that arrives later does not reach the page.
  offerImage.SetImage(package->image);
  BindText(ids::kAcceptButton, "BUTTON_ACCEPT");
  BindText(ids::kDeclineButton, "BUTTON_DECLINE");
  BindText(ids::kDisclaimerLink, "PRODUCT_DISCLAIMER");
  RefreshTexts();
  return true;
}

void ProductPage::RefreshTexts() {
  IPage::RefreshTexts();
  FillDisclaimer();
}

void ProductPage::FillDisclaimer() {
  if (!disclaimerLink.Exists()) return;
  std::wstring text = disclaimerLink.Text();
  ReplaceAll(text, L"[PACKAGE_NAME]", Utf8ToWide(package->dn));
  ReplaceAll(text, L"[PACKAGE_PRIVACY_URL]", Utf8ToWide(package->cp));
  ReplaceAll(text, L"[PACKAGE_EULA_URL]", Utf8ToWide(package->ctu));
  disclaimerLink.SetText(text);
}

void ProductPage::OnNavigateToPage() { configuration->shownPackages.push_back(package); }

void ProductPage::OnCommand(int controlId, int notifyCode) {
  if (notifyCode != ui::kBnClicked) {
    IPage::OnCommand(controlId, notifyCode);
  } else if (controlId == ids::kAcceptButton) {
    OnAccept();
  } else if (controlId == ids::kDeclineButton) {
    OnDecline();
  } else {
    IPage::OnCommand(controlId, notifyCode);
  }
}

void ProductPage::OnAccept() {
  // Once only: a page shown again never makes the same installer run twice.
  auto& accepted = configuration->acceptedPackages;
  if (std::find(accepted.begin(), accepted.end(), package) == accepted.end()) accepted.push_back(package);
  if (buttonCallback) buttonCallback(ButtonType::Accept);
}

void ProductPage::OnDecline() {
  // A declined offer is never installed, even when it was accepted before
  // the user came back to it.
  std::erase(configuration->acceptedPackages, package);
  package->SendEvent(events::kDeclined);
  if (buttonCallback) buttonCallback(ButtonType::Decline);
}

std::optional<ui::CtlColor> ProductPage::OnCtlColor(int controlId) {
  if (controlId == ids::kDisclaimerLink) return backgroundBrush;
  return IPage::OnCtlColor(controlId);
}
