// The last page of the download-manager wizard: Finish opens the downloaded
// product (Launch) or shows it selected in its folder (Open Folder), then
// ends the wizard.
#pragma once

#include "pages/FinishPage.h"

class FinishPageDlm : public FinishPage {
 public:
  FinishPageDlm(const PageContext& context, ui::Dialog* parent);

  std::wstring GetPageName() const override { return L"FinishPageDLM"; }

 protected:
  bool OnInitDialog() override;
  void OnFinish() override;

 private:
  ui::Control launchRadio;
  ui::Control openFolderRadio;
};
