#include "pages/WarningPageBTClassic.h"

#include "config/ConfigurationManager.h"
#include "resources/DialogIds.h"

WarningPageBTClassic::WarningPageBTClassic(const PageContext& context, ui::Dialog* parent)
    : BtClassicPage(context, parent,
                    {.templateId = ids::kWarningPageBT,
                     .titleId = ids::kWarningTitle,
                     .texts = {{ids::kWarningTitle, "WARNING_TITLE"},
                               {ids::kWarningSubtitle, "WARNING_SUBTITLE"},
                               {ids::kWarningText, "WARNING_TEXT"},
                               {ids::kNextButton, "BUTTON_NEXT"},
                               {ids::kBackButton, "BUTTON_BACK"}},
                     .checkBoxes = {}}) {}

std::optional<ui::CtlColor> WarningPageBTClassic::OnCtlColor(int controlId) {
  if (controlId == ids::kWarningText)
    return ui::CtlColor{.background = configuration->backgroundColor, .transparentText = true};
  return BtClassicPage::OnCtlColor(controlId);
}
