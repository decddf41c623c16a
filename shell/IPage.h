// The base of every wizard page: a modeless child dialog of the host, placed
// on the host's page area. A page reaches the host only through the
// callbacks the host gives it; its texts come from the language manager,
// which refreshes it whenever the language changes.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "locale/LocalizedWindow.h"
#include "shell/ButtonType.h"
#include "shell/PageContext.h"
#include "shell/TextBinding.h"
#include "ui/Dialog.h"

class ConfigurationManager;
class LanguageManager;

using ButtonCallback = std::function<void(ButtonType)>;
using ErrorCallback = std::function<void(const std::wstring& title, const std::wstring& text)>;

class IPage : public ui::Dialog, public LocalizedWindow {
 public:
  // Registers the page with the language manager; `parent` is the host.
  IPage(const PageContext& context, int templateId, ui::Dialog* parent);
  // Unregisters the page, so later language changes never reach it.
  ~IPage() override;

  // Called by the host each time the page becomes the current page.
  virtual void OnNavigateToPage() = 0;
  virtual void SetButtonCallback(ButtonCallback callback) = 0;
  virtual void SetErrorCallback(ErrorCallback callback) = 0;
  // Sets each bound control that has a window to its key's text; a key
  // without text leaves the control as it is.
  void RefreshTexts() override;
  virtual std::wstring GetPageName() const = 0;

 protected:
  // Derived pages call this first in their own OnInitDialog.
  bool OnInitDialog() override;
  // The bottom band in the accent colour with transparent text; every other
  // control as the dialog paints it.
  std::optional<ui::CtlColor> OnCtlColor(int controlId) override;
  // A link to an http(s) address opens it with the shell ("open", shown
  // normally); any other target does nothing.
  void OnLinkClicked(int controlId, const ui::LinkClick& link) override;

  // Adds a binding of the control to a text key (in binding order).
  void BindText(int controlId, std::string key);
  // Opens a document, program or URL through the shell.
  void OpenWithShell(const std::wstring& file, const std::wstring& parameters, int show);

  std::shared_ptr<LanguageManager> languageManager;
  std::shared_ptr<ConfigurationManager> configuration;
  ui::Dialog* parentWindow;
  std::vector<TextBinding> textBindings;
  const ui::CtlColor accentBrush;
  ui::Control bottomBand;
};
