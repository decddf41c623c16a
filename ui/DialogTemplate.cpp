#include "ui/DialogTemplate.h"

#include <algorithm>

namespace ui {

const ControlTemplate* DialogTemplate::FindControl(int controlId) const {
  const auto found = std::ranges::find(controls, controlId, &ControlTemplate::id);
  return found == controls.end() ? nullptr : &*found;
}

const DialogTemplate* FindDialogTemplate(int id) {
  const auto templates = DialogTemplates();
  const auto found = std::ranges::find(templates, id, &DialogTemplate::id);
  return found == templates.end() ? nullptr : &*found;
}

std::wstring_view WindowClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Text:
    case ControlKind::Frame:
    case ControlKind::Image:
    case ControlKind::Icon: return L"Static";
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton: return L"Button";
    case ControlKind::DropDownList: return L"ComboBox";
    case ControlKind::ProgressBar: return L"msctls_progress32";
    case ControlKind::SysLink:
    case ControlKind::Link: return L"SysLink";
    case ControlKind::RichText: return L"RichEdit20W";
  }
  return L"Static";
}

}  // namespace ui
