// The dialog templates of the wizard: one table that both backends read.
// The Windows backend builds each dialog's binary template from it in memory
// (win32/DialogTemplateBytes); the Wine tests compare those bytes with what
// the resource compiler makes of its DIALOGEX script (tools/DialogScript),
// and the executable keeps that script's strings. The headless backend builds its windows
// from it directly.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "ui/Geometry.h"

namespace ui {

// What a control is; each kind has one window class and the behaviour the
// framework gives it.
enum class ControlKind {
  Text,          // static text
  Frame,         // static line or rectangle without text
  Image,         // static that paints a decoded image stretched to its rectangle
  Icon,          // static showing an icon resource named by its text ("#128")
  PushButton,    // push button
  CheckBox,      // automatic check box
  RadioButton,   // automatic radio button; a group starts at kWsGroup
  DropDownList,  // combo box with a drop-down list
  ProgressBar,   // progress bar with range, position, step and marquee
  SysLink,       // text with <a href="..."> anchors that notify when clicked
  RichText,      // read-only rich text with URL detection
  Link,          // one link caption with its own URL, sized to its text
};

struct ControlTemplate {
  int id = 0;
  ControlKind kind = ControlKind::Text;
  std::wstring_view text;
  DialogUnits rect;
  std::uint32_t style = 0;  // complete style, kWsChild included
  std::uint32_t exStyle = 0;
};

struct DialogTemplate {
  int id = 0;
  std::wstring_view caption;
  DialogUnits rect;  // the client area
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  std::wstring_view fontName;
  int fontPoints = 0;
  std::span<const ControlTemplate> controls;

  const ControlTemplate* FindControl(int controlId) const;
};

// Every template of the program, in ascending id order.
std::span<const DialogTemplate> DialogTemplates();

// The template with this id, or null.
const DialogTemplate* FindDialogTemplate(int id);

// The window class a control kind is created with ("Static", "Button", ...).
std::wstring_view WindowClassOf(ControlKind kind);

}  // namespace ui
