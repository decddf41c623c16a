#include "pages/FinishPageIsv.h"

#include "config/ConfigurationManager.h"
#include "resources/DialogIds.h"
#include "ui/WindowStyles.h"

FinishPageIsv::FinishPageIsv(const PageContext& context, ui::Dialog* parent)
    : IPage(context, ids::kFinishPageIsv, parent) {}

bool FinishPageIsv::OnInitDialog() {
  IPage::OnInitDialog();
  launchCheckBox = Item(ids::kLaunchCheckBox);
  pageImage.Attach(Item(ids::kPageImage));
  BindText(ids::kFinishTitle, "PAGE_FINISH_TITLE");
  BindText(ids::kFinishText, "PAGE_FINISH_TEXT");
  BindText(ids::kFinishButton, "BUTTON_FINISH");
  BindText(ids::kLaunchCheckBox, "LAUNCH_CHECKBOX");
  RefreshTexts();
  launchCheckBox.SetCheck(ui::kBstChecked);
  pageImage.LoadFromResource(*services.resources, 102, platform::kImageResourceType2);
  return true;
}

void FinishPageIsv::OnNavigateToPage() {
  if (parentWindow) parentWindow->ModifyStyle(ui::kWsMinimizeBox, 0);
}

void FinishPageIsv::OnCommand(int controlId, int notifyCode) {
  if (controlId == ids::kFinishButton && notifyCode == ui::kBnClicked) {
    OnFinish();
  } else {
    IPage::OnCommand(controlId, notifyCode);
  }
}

void FinishPageIsv::OnFinish() {
  if (launchCheckBox.Check() == ui::kBstChecked) {
    const std::wstring file = configuration->ExpandFolderTokens(configuration->launchFile);
    // With nothing configured nothing is started: an empty file would have
    // the shell open the current folder instead.
    if (!file.empty()) OpenWithShell(file, configuration->launchParameters, platform::kSwShowDefault);
  }
  if (buttonCallback) buttonCallback(ButtonType::Finish);
}
