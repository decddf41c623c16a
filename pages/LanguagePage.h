// The first page: a drop-down list of the wizard type's languages with the
// user's language preselected. Every change of the selection switches the
// texts of all pages; Next (or Enter) moves on.
#pragma once

#include "shell/IPage.h"

class LanguagePage : public IPage {
 public:
  LanguagePage(const PageContext& context, ui::Dialog* parent);

  void OnNavigateToPage() override {}
  void SetButtonCallback(ButtonCallback callback) override { buttonCallback = std::move(callback); }
  void SetErrorCallback(ErrorCallback callback) override { errorCallback = std::move(callback); }
  std::wstring GetPageName() const override { return L"LanguagePage"; }

 protected:
  LanguagePage(const PageContext& context, int templateId, ui::Dialog* parent);

  bool OnInitDialog() override;
  void OnCommand(int controlId, int notifyCode) override;
  // The page's own text bindings.
  virtual void BindTexts();
  // Loads the selected language (nothing without a selection).
  void OnLanguageSelected();

  ButtonCallback buttonCallback;
  ErrorCallback errorCallback;
  ui::Control languageCombo;
};

// The BT classic variant: a title and its own texts, and a hidden list, so
// the preselected language is used.
class LanguagePageBT : public LanguagePage {
 public:
  LanguagePageBT(const PageContext& context, ui::Dialog* parent);

  std::wstring GetPageName() const override { return L"LanguagePageBT"; }

 protected:
  void BindTexts() override;
};
