#include "pages/BtClassicPage.h"

#include "config/ConfigurationManager.h"
#include "resources/DialogIds.h"
#include "ui/WindowStyles.h"

namespace {

// The title's LOGFONT height and weight.
constexpr int kTitleHeight = 12;
constexpr int kTitleWeight = 1000;

}  // namespace

BtClassicPage::BtClassicPage(const PageContext& context, ui::Dialog* parent, Layout layoutIn)
    : IPage(context, layoutIn.templateId, parent), layout(std::move(layoutIn)) {}

bool BtClassicPage::OnInitDialog() {
  IPage::OnInitDialog();
  for (const OptionCheckBox& box : layout.checkBoxes) Item(box.controlId).SetCheck(ui::kBstChecked);
  for (const auto& [controlId, key] : layout.texts) BindText(controlId, key);
  RefreshTexts();
  // A title without a font of its own keeps the dialog font.
  ui::Control title = Item(layout.titleId);
  titleFont = ui::Font::DerivedFrom(title, kTitleHeight, kTitleWeight);
  title.SetFont(titleFont);
  return true;
}

void BtClassicPage::OnCommand(int controlId, int notifyCode) {
  if (notifyCode == ui::kBnClicked && controlId == ids::kNextButton) {
    StoreOptions();
    if (buttonCallback) buttonCallback(ButtonType::Next);
  } else if (notifyCode == ui::kBnClicked && controlId == ids::kBackButton) {
    if (buttonCallback) buttonCallback(ButtonType::Back);
  } else {
    IPage::OnCommand(controlId, notifyCode);
  }
}

void BtClassicPage::StoreOptions() {
  for (const OptionCheckBox& box : layout.checkBoxes)
    configuration->btOptions.at(box.option) = Item(box.controlId).Check() != ui::kBstUnchecked;
}
