#include "shell/IPage.h"

#include "config/ConfigurationManager.h"
#include "locale/LanguageManager.h"
#include "resources/DialogIds.h"
#include "util/UrlValidation.h"

IPage::IPage(const PageContext& context, int templateId, ui::Dialog* parent)
    : ui::Dialog(templateId),
      languageManager(context.languageManager),
      configuration(context.configuration),
      parentWindow(parent),
      accentBrush{.background = context.configuration->accentColor, .transparentText = true} {
  languageManager->RegisterPage(this);
}

IPage::~IPage() { languageManager->UnregisterPage(this); }

bool IPage::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  bottomBand = Item(ids::kPageBand);
  return true;
}

void IPage::RefreshTexts() {
  for (const TextBinding& binding : textBindings) {
    if (!binding.control.Exists()) continue;
    const std::wstring text = languageManager->GetText(binding.key);
    if (!text.empty()) ui::Control(binding.control).SetText(text);
  }
}

std::optional<ui::CtlColor> IPage::OnCtlColor(int controlId) {
  if (controlId == ids::kPageBand) return accentBrush;
  return ui::Dialog::OnCtlColor(controlId);
}

void IPage::OnLinkClicked(int /*controlId*/, const ui::LinkClick& link) {
  // Link targets come from the server; the wizard runs elevated, so only web
  // addresses are opened, never a path or another scheme.
  if (IsWebLink(link.url)) OpenWithShell(link.url, L"", platform::kSwShowNormal);
}

void IPage::BindText(int controlId, std::string key) { textBindings.push_back({Item(controlId), std::move(key)}); }

void IPage::OpenWithShell(const std::wstring& file, const std::wstring& parameters, int show) {
  configuration->Services().shell->Open({.verb = L"open", .file = file, .parameters = parameters, .directory = L"", .show = show});
}
