#include "pages/FinishPage.h"

#include "config/ConfigurationManager.h"
#include "resources/DialogIds.h"
#include "ui/WindowStyles.h"

bool FinishPage::OnInitDialog() {
  IPage::OnInitDialog();
  pageImage.Attach(Item(ids::kPageImage));
  pageImage.LoadFromResource(*configuration->Services().resources, 102, platform::kImageResourceType2);
  BindText(ids::kFinishTitle, "PAGE_FINISH_TITLE");
  BindText(ids::kFinishText, "PAGE_FINISH_TEXT");
  BindText(ids::kFinishButton, "BUTTON_FINISH");
  return true;
}

void FinishPage::OnNavigateToPage() {
  if (parentWindow) parentWindow->ModifyStyle(ui::kWsMinimizeBox, 0);
}

void FinishPage::OnCommand(int controlId, int notifyCode) {
  if (controlId == ids::kFinishButton && notifyCode == ui::kBnClicked) {
    OnFinish();
    if (buttonCallback) buttonCallback(ButtonType::Finish);
  } else {
    IPage::OnCommand(controlId, notifyCode);
  }
}
