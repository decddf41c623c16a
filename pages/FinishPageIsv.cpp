#include "pages/FinishPageIsv.h"

#include "config/ConfigurationManager.h"
#include "resources/DialogIds.h"
#include "ui/WindowStyles.h"

FinishPageIsv::FinishPageIsv(const PageContext& context, ui::Dialog* parent)
    : FinishPage(context, ids::kFinishPageIsv, parent) {}

bool FinishPageIsv::OnInitDialog() {
  FinishPage::OnInitDialog();
  launchCheckBox = Item(ids::kLaunchCheckBox);
  BindText(ids::kLaunchCheckBox, "LAUNCH_CHECKBOX");
  RefreshTexts();
  launchCheckBox.SetCheck(ui::kBstChecked);
  return true;
}

void FinishPageIsv::OnFinish() {
  if (launchCheckBox.Check() != ui::kBstChecked) return;
  const std::wstring file = configuration->ExpandFolderTokens(configuration->launchFile);
  // With nothing configured nothing is started: an empty file would have the
  // shell open the current folder instead.
  if (!file.empty()) OpenWithShell(file, configuration->launchParameters, platform::kSwShowDefault);
}
