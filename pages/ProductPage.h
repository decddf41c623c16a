// One page per accepted offer: its picture, a disclaimer with its name and
// the links to its privacy policy and terms, Accept and Decline. Accepting
// puts the offer on the list the download page installs; declining reports
// the refusal to the server. Either way the wizard moves on.
#pragma once

#include <memory>

#include "shell/CStaticFromImage.h"
#include "shell/IPage.h"

class Package;

class ProductPage : public IPage {
 public:
  ProductPage(const PageContext& context, std::shared_ptr<Package> package, ui::Dialog* parent);

  // The offer joins the shown packages, each time the page is shown.
  void OnNavigateToPage() override;
  void SetButtonCallback(ButtonCallback callback) override { buttonCallback = std::move(callback); }
  void SetErrorCallback(ErrorCallback callback) override { errorCallback = std::move(callback); }
  std::wstring GetPageName() const override { return L"ProductPage"; }
  // The texts, then the disclaimer's placeholders filled again, so a new
  // language never shows them raw.
  void RefreshTexts() override;

 protected:
  bool OnInitDialog() override;
  void OnCommand(int controlId, int notifyCode) override;
  std::optional<ui::CtlColor> OnCtlColor(int controlId) override;

 private:
  // Replaces "[PACKAGE_NAME]", "[PACKAGE_PRIVACY_URL]" and
  // "[PACKAGE_EULA_URL]" in the disclaimer by the offer's dn, cp and ctu.
  void FillDisclaimer();
  void OnAccept();
  void OnDecline();

  ButtonCallback buttonCallback;
  ErrorCallback errorCallback;
  ui::Control disclaimerLink;
  std::shared_ptr<Package> package;
  CStaticFromImage offerImage;
  ui::CtlColor backgroundBrush;
};
