// The parts of Dialog that are the same on every backend.
#include "ui/Dialog.h"

#include "ui/WindowStyles.h"

namespace ui {

void Dialog::OnCommand(int controlId, int /*notifyCode*/) {
  if (IsModal() && (controlId == kIdOkCommand || controlId == kIdCancelCommand)) EndDialog(controlId);
}

void Dialog::OnClose() { EndDialog(kIdCancelCommand); }

std::optional<CtlColor> Dialog::OnCtlColor(int /*controlId*/) {
  if (!backgroundColor) return std::nullopt;
  return CtlColor{.background = *backgroundColor};
}

}  // namespace ui
