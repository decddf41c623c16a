#include "pages/FinishPageDlm.h"

#include "config/ConfigurationManager.h"
#include "resources/DialogIds.h"
#include "ui/WindowStyles.h"

FinishPageDlm::FinishPageDlm(const PageContext& context, ui::Dialog* parent)
    : FinishPage(context, ids::kFinishPageDlm, parent) {}

bool FinishPageDlm::OnInitDialog() {
  FinishPage::OnInitDialog();
  launchRadio = Item(ids::kLaunchRadio);
  openFolderRadio = Item(ids::kOpenFolderRadio);
  BindText(ids::kLaunchRadio, "LAUNCH_RADIO");
  BindText(ids::kOpenFolderRadio, "OPEN_FOLDER_RADIO");
  RefreshTexts();
  launchRadio.SetCheck(ui::kBstChecked);
  return true;
}

void FinishPageDlm::OnFinish() {
  const std::wstring path = configuration->downloadedFilePath;
  // What the shell makes of the request is not examined: the wizard ends anyway.
  if (launchRadio.Check() == ui::kBstChecked) {
    OpenWithShell(path, L"", platform::kSwShowDefault);
  } else if (openFolderRadio.Check() == ui::kBstChecked) {
    configuration->Services().shell->Open({.verb = L"open",
                          .file = L"explorer.exe",
                          .parameters = L"/select,\"" + path + L"\"",
                          .directory = L"",
                          .show = platform::kSwShowDefault});
  }
}
