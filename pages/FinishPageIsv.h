// The last page of the vendor-installer wizard: Finish may start the
// configured program, then ends the wizard.
#pragma once

#include "shell/CStaticFromImage.h"
#include "shell/IPage.h"

class FinishPageIsv : public IPage {
 public:
  FinishPageIsv(const PageContext& context, ui::Dialog* parent);

  // Takes the minimise box from the host: the wizard is about to end.
  void OnNavigateToPage() override;
  void SetButtonCallback(ButtonCallback callback) override { buttonCallback = std::move(callback); }
  void SetErrorCallback(ErrorCallback callback) override { errorCallback = std::move(callback); }
  std::wstring GetPageName() const override { return L"FinishPageISV"; }

 protected:
  bool OnInitDialog() override;
  void OnCommand(int controlId, int notifyCode) override;

 private:
  void OnFinish();

  ButtonCallback buttonCallback;
  ErrorCallback errorCallback;
  ui::Control launchCheckBox;
  CStaticFromImage pageImage;
};
