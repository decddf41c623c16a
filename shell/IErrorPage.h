// What the host needs of the error page beyond IPage: the two texts it
// shows. The page itself lives with the other pages.
#pragma once

#include <string>

#include "shell/IPage.h"

class IErrorPage : public IPage {
 public:
  using IPage::IPage;

  // Puts the title, then the text, into the page's controls.
  virtual void ShowTexts(const std::wstring& title, const std::wstring& text) = 0;
};
