// The last page of the download-manager wizard: Finish opens the downloaded
// product (Launch) or shows it selected in its folder (Open Folder), then
// ends the wizard.
#pragma once

#include "shell/CStaticFromImage.h"
#include "shell/IPage.h"

class FinishPageDlm : public IPage {
 public:
  FinishPageDlm(const PageContext& context, ui::Dialog* parent);

  // Takes the minimise box from the host: the wizard is about to end.
  void OnNavigateToPage() override;
  void SetButtonCallback(ButtonCallback callback) override { buttonCallback = std::move(callback); }
  void SetErrorCallback(ErrorCallback callback) override { errorCallback = std::move(callback); }
  std::wstring GetPageName() const override { return L"FinishPageDLM"; }

 protected:
  bool OnInitDialog() override;
  void OnCommand(int controlId, int notifyCode) override;

 private:
  void OnFinish();

  ButtonCallback buttonCallback;
  ErrorCallback errorCallback;
  ui::Control launchRadio;
  ui::Control openFolderRadio;
  CStaticFromImage pageImage;
};
