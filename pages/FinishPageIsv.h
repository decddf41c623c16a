// The last page of the vendor-installer wizard: Finish may start the
// configured program, then ends the wizard.
#pragma once

#include "pages/FinishPage.h"

class FinishPageIsv : public FinishPage {
 public:
  FinishPageIsv(const PageContext& context, ui::Dialog* parent);

  std::wstring GetPageName() const override { return L"FinishPageISV"; }

 protected:
  bool OnInitDialog() override;
  void OnFinish() override;

 private:
  ui::Control launchCheckBox;
};
