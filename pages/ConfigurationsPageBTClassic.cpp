#include "pages/ConfigurationsPageBTClassic.h"

#include "resources/DialogIds.h"

// The first check box has no caption: its text stands in the label beside
// it, which wraps over two lines.
ConfigurationsPageBTClassic::ConfigurationsPageBTClassic(const PageContext& context, ui::Dialog* parent)
    : BtClassicPage(context, parent,
                    {.templateId = ids::kConfigurationsPageBT,
                     .titleId = ids::kConfigurationsTitle,
                     .texts = {{ids::kConfigurationsTitle, "CONFIGURATIONS_TITLE"},
                               {ids::kConfigurationsSubtitle1, "CONFIGURATIONS_SUBTITLE_1"},
                               {ids::kConfigurationsText1, "CONFIGURATIONS_TEXT_1"},
                               {ids::kConfigurationsCheck1Label, "CONFIGURATIONS_CHECK_1"},
                               {ids::kConfigurationsCheck2, "CONFIGURATIONS_CHECK_2"},
                               {ids::kConfigurationsSubtitle2, "CONFIGURATIONS_SUBTITLE_2"},
                               {ids::kConfigurationsText2, "CONFIGURATIONS_TEXT_2"},
                               {ids::kConfigurationsCheck3, "CONFIGURATIONS_CHECK_3"},
                               {ids::kConfigurationsCheck4, "CONFIGURATIONS_CHECK_4"},
                               {ids::kConfigurationsCheck5, "CONFIGURATIONS_CHECK_5"},
                               {ids::kNextButton, "BUTTON_NEXT"},
                               {ids::kBackButton, "BUTTON_BACK"}},
                     .checkBoxes = {{ids::kConfigurationsCheck1, 3},
                                    {ids::kConfigurationsCheck2, 4},
                                    {ids::kConfigurationsCheck3, 5},
                                    {ids::kConfigurationsCheck4, 6},
                                    {ids::kConfigurationsCheck5, 7}}}) {}
