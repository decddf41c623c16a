// The BT classic variant's options page, after the offers: three options,
// each a check box, and Next (no Back). Next stores them into btOptions[0..2].
#pragma once

#include "pages/BtClassicPage.h"

class OptionsPageBTClassic : public BtClassicPage {
 public:
  OptionsPageBTClassic(const PageContext& context, ui::Dialog* parent);

  std::wstring GetPageName() const override { return L"OptionsPageBTClassic"; }
};
