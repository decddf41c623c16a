// A window whose texts come from the language manager: it registers with the
// manager and is refreshed whenever the language changes. The wizard's pages
// are such windows.
#pragma once

class LocalizedWindow {
 public:
  virtual ~LocalizedWindow() = default;
  // Sets the window's bound controls to the texts of the current language.
  virtual void RefreshTexts() = 0;
};
