// The About box: the program's icon and its version line.
#pragma once

#include <string>

#include "ui/Dialog.h"

class CAboutDlg : public ui::Dialog {
 public:
  explicit CAboutDlg(std::wstring programVersion);

 protected:
  bool OnInitDialog() override;

 private:
  std::wstring programVersion;
};
