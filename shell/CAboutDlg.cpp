#include "shell/CAboutDlg.h"

#include "resources/DialogIds.h"

CAboutDlg::CAboutDlg(std::wstring programVersion) : ui::Dialog(ids::kAboutBox), programVersion(std::move(programVersion)) {}

bool CAboutDlg::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  Item(ids::kAboutVersion).SetText(L"Brimvale, Version " + programVersion);
  return true;
}
