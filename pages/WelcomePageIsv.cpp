#include "pages/WelcomePageIsv.h"

#include "config/ConfigurationManager.h"
#include "resources/DialogIds.h"
#include "ui/WindowStyles.h"

WelcomePageIsv::WelcomePageIsv(const PageContext& context, ui::Dialog* parent)
    : IPage(context, ids::kWelcomePage, parent) {}

bool WelcomePageIsv::OnInitDialog() {
  IPage::OnInitDialog();
  pageImage.Attach(Item(ids::kPageImage));
  if (configuration->wizardType == DLM) {
    pageImage.SetImage(configuration->productIcon);
  } else {
    pageImage.LoadFromResource(*configuration->Services().resources, 101, platform::kImageResourceType);
  }
  privacyLink = Item(ids::kPrivacyLink);
  termsLink = Item(ids::kTermsLink);
  sdkLink = Item(ids::kSdkLink);

  BindText(ids::kWelcomeTitle, "WELCOME_TITLE");
  BindText(ids::kHeaderTitle, "PRODUCT_TITLE");
  BindText(ids::kWelcomeText, "WELCOME_TEXT");
  BindText(ids::kNextButton, "BUTTON_NEXT");
  BindText(ids::kPrivacyLink, "PRIVACY_LINK");
  BindText(ids::kTermsLink, configuration->wizardType == DLM ? "TOS_LINK" : "EULA_LINK");
  BindText(ids::kSdkLink, "SDK_LINK");
  RefreshTexts();

  const struct {
    ui::Control& link;
    const std::wstring& url;
  } links[] = {{privacyLink, configuration->productPrivacyUrl},
               {termsLink, configuration->productTermsUrl},
               {sdkLink, configuration->privacyPolicyUrl}};
  for (const auto& [link, url] : links) {
    link.SetUrl(url);
    if (url.empty()) link.Show(false);
  }
  return true;
}

void WelcomePageIsv::RefreshTexts() {
  IPage::RefreshTexts();
  SizeLinksToContent();
}

void WelcomePageIsv::SizeLinksToContent() {
  for (ui::Control* link : {&privacyLink, &termsLink, &sdkLink}) link->SizeToContent();
}

void WelcomePageIsv::OnCommand(int controlId, int notifyCode) {
  if (controlId == ids::kNextButton && notifyCode == ui::kBnClicked) {
    if (buttonCallback) buttonCallback(ButtonType::Next);
  } else {
    IPage::OnCommand(controlId, notifyCode);
  }
}
