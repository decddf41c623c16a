#include "ui/win32/DialogTemplateBytes.h"

#include <string_view>

#include "ui/WindowStyles.h"

namespace ui::win32 {

namespace {

class TemplateWriter {
 public:
  void Word(std::uint32_t value) { units.push_back(static_cast<std::uint16_t>(value)); }
  void Dword(std::uint32_t value) {
    Word(value & 0xFFFF);
    Word(value >> 16);
  }
  void Text(std::wstring_view text) {
    for (wchar_t c : text) Word(static_cast<std::uint16_t>(c));
    Word(0);
  }
  void Ordinal(std::uint32_t value) {
    Word(0xFFFF);
    Word(value);
  }
  // Each control starts on a 32-bit boundary.
  void AlignToDword() {
    if (units.size() % 2) Word(0);
  }
  void Rect(const DialogUnits& rect) {
    for (int value : {rect.x, rect.y, rect.width, rect.height}) Word(static_cast<std::uint16_t>(value));
  }

  std::vector<std::uint16_t> units;
};

// The resource compiler stores a control's class as its name in capitals
// (class names are compared without regard to case).
void WriteClass(TemplateWriter& writer, std::wstring_view name) {
  for (wchar_t c : name) writer.Word(static_cast<std::uint16_t>(c >= L'a' && c <= L'z' ? c - L'a' + L'A' : c));
  writer.Word(0);
}

}  // namespace

std::vector<std::uint16_t> DialogTemplateBytes(const DialogTemplate& dialog) {
  TemplateWriter writer;
  writer.Word(1);       // version
  writer.Word(0xFFFF);  // extended template
  writer.Dword(0);      // help id
  writer.Dword(dialog.exStyle);
  writer.Dword(dialog.style);
  writer.Word(static_cast<std::uint32_t>(dialog.controls.size()));
  writer.Rect(dialog.rect);
  writer.Word(0);  // no menu
  writer.Word(0);  // the predefined dialog class
  writer.Text((dialog.style & kWsCaption) ? dialog.caption : std::wstring_view());
  // FONT points, "name", 400, 0, 0x1: normal weight, upright, default character set.
  writer.Word(static_cast<std::uint32_t>(dialog.fontPoints));
  writer.Word(400);
  writer.Word(0x0100);  // italic 0, character set 1
  writer.Text(dialog.fontName);
  for (const ControlTemplate& control : dialog.controls) {
    writer.AlignToDword();
    writer.Dword(0);  // help id
    writer.Dword(control.exStyle);
    writer.Dword(control.style);
    writer.Rect(control.rect);
    writer.Dword(static_cast<std::uint32_t>(control.id));
    WriteClass(writer, WindowClassOf(control.kind));
    // An icon static names its icon "#<id>": an ordinal.
    if (control.kind == ControlKind::Icon && control.text.starts_with(L"#")) {
      std::uint32_t icon = 0;
      for (wchar_t c : control.text.substr(1)) icon = icon * 10 + static_cast<std::uint32_t>(c - L'0');
      writer.Ordinal(icon);
    } else {
      writer.Text(control.text);
    }
    writer.Word(0);  // no creation data
  }
  return std::move(writer.units);
}

}  // namespace ui::win32
