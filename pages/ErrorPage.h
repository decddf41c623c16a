// Shown over any page when a page reports an error: a title, a text and
// Close, which ends the wizard. Kept outside the page sequence by the host.
#pragma once

#include <string>

#include "shell/CStaticFromImage.h"
#include "shell/IErrorPage.h"

class ErrorPage : public IErrorPage {
 public:
  ErrorPage(const PageContext& context, ui::Dialog* parent);

  void OnNavigateToPage() override {}
  void SetButtonCallback(ButtonCallback callback) override { buttonCallback = std::move(callback); }
  // The error page reports no errors of its own: the function is dropped.
  void SetErrorCallback(ErrorCallback) override {}
  std::wstring GetPageName() const override { return L"ErrorPage"; }

  // Sets `title` and transfers it, then `text` and transfers it.
  void ShowTexts(const std::wstring& title, const std::wstring& text) override;
  // Puts `title` and `text` into their controls (UpdateData(FALSE)).
  void TransferTexts();

  std::wstring title;
  std::wstring text;

 protected:
  bool OnInitDialog() override;
  void OnCommand(int controlId, int notifyCode) override;

 private:
  ButtonCallback buttonCallback;
  CStaticFromImage pageImage;
};
