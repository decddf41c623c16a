// The first page after loading in the BT classic variant with its warning
// flag: a title, a subtitle and a warning text that may hold links, with
// Next and Back. The links are only shown: clicking one does nothing.
#pragma once

#include "pages/BtClassicPage.h"

class WarningPageBTClassic : public BtClassicPage {
 public:
  WarningPageBTClassic(const PageContext& context, ui::Dialog* parent);

  std::wstring GetPageName() const override { return L"WarningPageBTClassic"; }

 protected:
  // The warning text is drawn transparently on the page's background.
  std::optional<ui::CtlColor> OnCtlColor(int controlId) override;
  void OnLinkClicked(int /*controlId*/, const ui::LinkClick& /*link*/) override {}
};
