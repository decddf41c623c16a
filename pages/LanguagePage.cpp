#include "pages/LanguagePage.h"

#include "locale/LanguageManager.h"
#include "resources/DialogIds.h"
#include "ui/WindowStyles.h"

LanguagePage::LanguagePage(const PageContext& context, ui::Dialog* parent)
    : LanguagePage(context, ids::kLanguagePage, parent) {}

LanguagePage::LanguagePage(const PageContext& context, int templateId, ui::Dialog* parent)
    : IPage(context, templateId, parent) {}

bool LanguagePage::OnInitDialog() {
  IPage::OnInitDialog();
  languageCombo = Item(ids::kLanguageCombo);
  BindTexts();
  languageManager->PopulateLanguages(languageCombo);
  OnLanguageSelected();
  SetDefaultButton(ids::kNextButton);
  return true;
}

void LanguagePage::BindTexts() {
  BindText(ids::kNextButton, "BUTTON_NEXT");
  BindText(ids::kSplashText, "SPLASH_TEXT");
}

void LanguagePage::OnCommand(int controlId, int notifyCode) {
  if (controlId == ids::kLanguageCombo && notifyCode == ui::kCbnSelChange) {
    OnLanguageSelected();
  } else if (controlId == ids::kNextButton && notifyCode == ui::kBnClicked) {
    if (buttonCallback) buttonCallback(ButtonType::Next);
  } else {
    IPage::OnCommand(controlId, notifyCode);
  }
}

void LanguagePage::OnLanguageSelected() {
  const int index = languageCombo.Selection();
  if (index == ui::kNoSelection) return;
  languageManager->SetLanguage(languageCombo.ItemText(index));
}

LanguagePageBT::LanguagePageBT(const PageContext& context, ui::Dialog* parent)
    : LanguagePage(context, ids::kLanguagePageBT, parent) {}

void LanguagePageBT::BindTexts() {
  BindText(ids::kNextButton, "BUTTON_NEXT");
  BindText(ids::kSplashTitleBT, "SPLASH_TITLE_BT");
  BindText(ids::kSplashTextBT, "SPLASH_TEXT_BT");
}
