#include "pages/ErrorPage.h"

#include "config/ConfigurationManager.h"
#include "resources/DialogIds.h"
#include "ui/WindowStyles.h"

ErrorPage::ErrorPage(const PageContext& context, ui::Dialog* parent) : IErrorPage(context, ids::kErrorPage, parent) {}

bool ErrorPage::OnInitDialog() {
  IPage::OnInitDialog();
  pageImage.Attach(Item(ids::kPageImage));
  TransferTexts();
  BindText(ids::kCloseButton, "BUTTON_CLOSE");
  RefreshTexts();
  pageImage.LoadFromResource(*configuration->Services().resources, 103, platform::kImageResourceType3);
  return true;
}

void ErrorPage::ShowTexts(const std::wstring& newTitle, const std::wstring& newText) {
  title = newTitle;
  TransferTexts();
  text = newText;
  TransferTexts();
}

void ErrorPage::TransferTexts() {
  Item(ids::kErrorTitle).SetText(title);
  Item(ids::kErrorText).SetText(text);
}

void ErrorPage::OnCommand(int controlId, int notifyCode) {
  if (controlId == ids::kCloseButton && notifyCode == ui::kBnClicked) {
    if (buttonCallback) buttonCallback(ButtonType::Close);
  } else {
    IPage::OnCommand(controlId, notifyCode);
  }
}
