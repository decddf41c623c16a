// The page after loading (unless the BT classic variant shows its licence
// page): the product's picture and title, a short text, up to three links
// (the product's privacy policy and terms, the maker's privacy page) and
// Next. A link without a URL is hidden.
#pragma once

#include "shell/CStaticFromImage.h"
#include "shell/IPage.h"

class WelcomePageIsv : public IPage {
 public:
  WelcomePageIsv(const PageContext& context, ui::Dialog* parent);

  void OnNavigateToPage() override {}
  void SetButtonCallback(ButtonCallback callback) override { buttonCallback = std::move(callback); }
  void SetErrorCallback(ErrorCallback callback) override { errorCallback = std::move(callback); }
  std::wstring GetPageName() const override { return L"WelcomePage"; }
  // The texts, then each link sized to its new caption.
  void RefreshTexts() override;

 protected:
  bool OnInitDialog() override;
  void OnCommand(int controlId, int notifyCode) override;

 private:
  void SizeLinksToContent();

  ButtonCallback buttonCallback;
  ErrorCallback errorCallback;
  ui::Control privacyLink;
  ui::Control termsLink;
  ui::Control sdkLink;
  CStaticFromImage pageImage;
};
