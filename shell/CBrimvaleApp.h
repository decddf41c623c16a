// The program's run: the user interface prepared, the host dialog run
// modally, everything released in order. InitInstance always returns false:
// no message loop follows the dialog.
#pragma once

#include <functional>

#include "shell/WizardContext.h"

class CBrimvaleApp {
 public:
  // `assemble` gives what the host is built from; it runs once the user
  // interface is prepared, and its first call creates the configuration.
  explicit CBrimvaleApp(std::function<WizardContext()> assemble);

  bool InitInstance();

 private:
  std::function<WizardContext()> assemble;
};
