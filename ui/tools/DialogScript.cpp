// Writes the DIALOGEX and STRINGTABLE script of the Windows build from the
// template and string tables: the executable's strings, and the dialogs the
// Wine tests compare with the templates the program builds in memory. Built for the build machine and run by the Windows build:
//   DialogScript <output.rc>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

#include "ui/DialogTemplate.h"
#include "ui/StringTable.h"
#include "ui/WindowStyles.h"

namespace {

// A quoted resource string in UTF-8 (the script declares code page 65001).
// The resource compiler reads backslashes as escapes, so they are escaped
// too; a character the script cannot carry stops the writer.
std::string Quoted(std::wstring_view text) {
  std::string quoted = "\"";
  for (wchar_t c : text) {
    const auto code = static_cast<std::uint32_t>(c);
    if (c == L'"') {
      quoted += "\"\"";
    } else if (c == L'\\') {
      quoted += "\\\\";
    } else if (c == L'\n') {
      quoted += "\\n";
    } else if (c == L'\r') {
      quoted += "\\r";
    } else if (c == L'\t') {
      quoted += "\\t";
    } else if (code < 0x20 || code == 0x7F || (code >= 0xD800 && code < 0xE000) || code > 0x10FFFF) {
      throw std::invalid_argument("the character of code " + std::to_string(code) + " cannot be written into the script");
    } else if (code < 0x80) {
      quoted += static_cast<char>(code);
    } else if (code < 0x800) {
      quoted += static_cast<char>(0xC0 | (code >> 6));
      quoted += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      quoted += static_cast<char>(0xE0 | (code >> 12));
      quoted += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      quoted += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      quoted += static_cast<char>(0xF0 | (code >> 18));
      quoted += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      quoted += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      quoted += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return quoted + "\"";
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

// An icon static names its icon "#<id>": written as the ordinal.
std::string ControlText(const ui::ControlTemplate& control) {
  if (control.kind == ui::ControlKind::Icon && control.text.starts_with(L"#"))
    return std::string(control.text.begin() + 1, control.text.end());
  return Quoted(control.text);
}

void WriteDialog(std::ostream& out, const ui::DialogTemplate& dialog) {
  const auto& rect = dialog.rect;
  out << dialog.id << " DIALOGEX " << rect.x << ", " << rect.y << ", " << rect.width << ", " << rect.height << "\n";
  out << "STYLE " << Hex(dialog.style) << "\n";
  if (dialog.exStyle) out << "EXSTYLE " << Hex(dialog.exStyle) << "\n";
  if (dialog.style & ui::kWsCaption) out << "CAPTION " << Quoted(dialog.caption) << "\n";
  out << "FONT " << dialog.fontPoints << ", " << Quoted(dialog.fontName) << ", 400, 0, 0x1\n";
  out << "BEGIN\n";
  for (const auto& control : dialog.controls) {
    const auto& place = control.rect;
    // NOT keeps the script's default visibility out of hidden controls.
    std::string style = Hex(control.style);
    if (!(control.style & ui::kWsVisible)) style += " | NOT " + Hex(ui::kWsVisible);
    std::string className;
    for (wchar_t c : ui::WindowClassOf(control.kind)) className += static_cast<char>(c);
    out << "  CONTROL " << ControlText(control) << ", " << control.id << ", \"" << className << "\", " << style
        << ", " << place.x << ", " << place.y << ", " << place.width << ", " << place.height;
    if (control.exStyle) out << ", " << Hex(control.exStyle);
    out << "\n";
  }
  out << "END\n\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: DialogScript <output.rc>\n";
    return 2;
  }
  // Written whole before it replaces the script, so a failure leaves no half script behind.
  const std::string output = argv[1];
  const std::string partial = output + ".partial";
  try {
    std::ofstream out(partial, std::ios::binary);
    if (!out) throw std::runtime_error("cannot write " + partial);
    out << "// Generated from the dialog and string tables; do not edit.\n";
    out << "#pragma code_page(65001)\n\n";
    // The wizards build their dialogs from the table in memory; the Wine
    // test program carries them as resources to compare the two.
    out << "#ifdef BRIMVALE_DIALOG_RESOURCES\n";
    for (const auto& dialog : ui::DialogTemplates()) WriteDialog(out, dialog);
    out << "#endif\n\n";
    out << "STRINGTABLE\nBEGIN\n";
    for (const auto& string : ui::StringResources()) out << "  " << string.id << ", " << Quoted(string.text) << "\n";
    out << "END\n";
    out.close();
    if (!out) throw std::runtime_error("cannot write " + partial);
    if (std::rename(partial.c_str(), output.c_str()) != 0) throw std::runtime_error("cannot write " + output);
  } catch (const std::exception& error) {
    std::remove(partial.c_str());
    std::cerr << "DialogScript: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
