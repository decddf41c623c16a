// The BT classic variant's configurations page, after the options page: five
// further options in two groups, each group with a subtitle and an
// explanation, with Next and Back. Next stores them into btOptions[3..7];
// Back leaves btOptions as the last Next stored it.
#pragma once

#include "pages/BtClassicPage.h"

class ConfigurationsPageBTClassic : public BtClassicPage {
 public:
  ConfigurationsPageBTClassic(const PageContext& context, ui::Dialog* parent);

  std::wstring GetPageName() const override { return L"ConfigurationsPageBTClassic"; }
};
