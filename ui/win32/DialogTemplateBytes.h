// A dialog template of the table as the binary DLGTEMPLATEEX that
// CreateDialogIndirectParamW reads: the same bytes the resource compiler
// makes of the DIALOGEX script (tools/DialogScript), so the executable needs
// no dialog resources of its own.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/DialogTemplate.h"

namespace ui::win32 {

// 16-bit units; the vector's storage is aligned for the template's 32-bit fields.
std::vector<std::uint16_t> DialogTemplateBytes(const DialogTemplate& dialog);

}  // namespace ui::win32
