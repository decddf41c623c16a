// What the two finish pages share: the last page of the sequence, whose
// Finish button does the page's own work and then ends the wizard, and
// which takes the minimise box from the host when it is reached.
#pragma once

#include "shell/CStaticFromImage.h"
#include "shell/IPage.h"

class FinishPage : public IPage {
 public:
  FinishPage(const PageContext& context, int templateId, ui::Dialog* parent) : IPage(context, templateId, parent) {}

  // Takes the minimise box from the host: the wizard is about to end.
  void OnNavigateToPage() override;
  void SetButtonCallback(ButtonCallback callback) override { buttonCallback = std::move(callback); }
  void SetErrorCallback(ErrorCallback callback) override { errorCallback = std::move(callback); }

 protected:
  // The base set-up, the page picture and the texts both pages show;
  // derived pages bind their own choice's text and refresh.
  bool OnInitDialog() override;
  void OnCommand(int controlId, int notifyCode) override;
  // What Finish does before the host ends the wizard.
  virtual void OnFinish() = 0;

  ButtonCallback buttonCallback;
  ErrorCallback errorCallback;
  CStaticFromImage pageImage;
};
