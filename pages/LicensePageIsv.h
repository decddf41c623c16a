// The licence page of the BT classic variant, in place of the welcome
// page: a title in a heavy font, a text, the scrollable licence with its web
// addresses shown as links, and a line of links to the product's terms and
// privacy policy. Agree goes on, Back goes back.
#pragma once

#include "shell/IPage.h"
#include "ui/Font.h"

class LicensePageIsv : public IPage {
 public:
  LicensePageIsv(const PageContext& context, ui::Dialog* parent);

  void OnNavigateToPage() override {}
  void SetButtonCallback(ButtonCallback callback) override { buttonCallback = std::move(callback); }
  void SetErrorCallback(ErrorCallback callback) override { errorCallback = std::move(callback); }
  std::wstring GetPageName() const override { return L"LicensePage"; }
  // The texts, then the link line's placeholders filled again, so a new
  // language never shows them raw.
  void RefreshTexts() override;

 protected:
  bool OnInitDialog() override;
  void OnCommand(int controlId, int notifyCode) override;
  std::optional<ui::CtlColor> OnCtlColor(int controlId) override;

 private:
  // Replaces "[LICENSE_TOS_URL]" and "[LICENSE_PRIVACY_URL]" in the link
  // line by the product's terms and privacy URLs.
  void SetLicenseLinks();

  ButtonCallback buttonCallback;
  ErrorCallback errorCallback;
  ui::Control licenseText;
  ui::Control titleStatic;
  ui::Control linkLine;
  ui::CtlColor backgroundBrush;
  ui::Font titleFont;  // the title's, for the page's whole life
};
