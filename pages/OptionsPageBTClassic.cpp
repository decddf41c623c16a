#include "pages/OptionsPageBTClassic.h"

#include "resources/DialogIds.h"

OptionsPageBTClassic::OptionsPageBTClassic(const PageContext& context, ui::Dialog* parent)
    : BtClassicPage(context, parent,
                    {.templateId = ids::kOptionsPageBT,
                     .titleId = ids::kOptionsTitle,
                     .texts = {{ids::kOptionsTitle, "OPTIONS_TITLE"},
                               {ids::kOptionsCheck1, "OPTIONS_CHECK_1"},
                               {ids::kOptionsCheck2, "OPTIONS_CHECK_2"},
                               {ids::kOptionsCheck3, "OPTIONS_CHECK_3"},
                               {ids::kNextButton, "BUTTON_NEXT"}},
                     .checkBoxes = {{ids::kOptionsCheck1, 0}, {ids::kOptionsCheck2, 1}, {ids::kOptionsCheck3, 2}}}) {}
