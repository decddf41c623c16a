// The Win32 side of a Dialog: a real dialog window made from its template
// in the table (built in memory, DialogTemplateBytes), its window procedure,
// and what the
// framework keeps beside the controls (pictures, link URLs, brushes).
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "platform/win32/UniqueHandle.h"
#include "ui/Dialog.h"
#include "ui/DialogTemplate.h"
#include "ui/Font.h"

namespace ui {

struct Dialog::Native {
  explicit Native(Dialog& dialog) : dialog(dialog) {}

  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  // The kind of a control of this dialog's template (Text when unknown).
  ControlKind KindOf(int controlId) const;
  HBRUSH BrushFor(Color color);
  void PaintImage(HWND control);
  // Modal loop: gives the dialogs around the message's window the chance to
  // treat it as dialog navigation first, innermost first.
  bool PreTranslate(MSG& message) const;

  Dialog& dialog;
  HWND window = nullptr;
  bool modal = false;
  bool ended = false;
  int result = 0;
  HICON icon = nullptr;  // shared icon from LoadIconW: never destroyed
  std::map<Color, platform::win32::GdiObject> brushes;
  std::map<int, std::shared_ptr<Image>> images;
  std::map<int, std::wstring> urls;
  std::map<int, std::wstring> linkCaptions;
};

namespace win32 {
// SysLink markup that shows caption as one link.
std::wstring LinkMarkup(const std::wstring& caption);
}  // namespace win32

}  // namespace ui

namespace ui {

struct Font::Native {
  platform::win32::GdiObject font;
  FontSpec fontSpec;
};

}  // namespace ui
