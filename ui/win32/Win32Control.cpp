// Controls, fonts and system menus of real dialogs: window messages to the
// control windows.
#include <algorithm>

#include "ui/Control.h"
#include "ui/Font.h"
#include "ui/SystemMenu.h"
#include "ui/WindowStyles.h"
#include "ui/win32/Win32Dialog.h"

#include <commctrl.h>
#include <richedit.h>

namespace ui {
namespace {

HWND WindowOf(const Control& control) {
  if (!control.Owner() || !control.Owner()->GetNative()->window) return nullptr;
  return ::GetDlgItem(control.Owner()->GetNative()->window, control.Id());
}

LRESULT Send(const Control& control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  HWND window = WindowOf(control);
  return window ? ::SendMessageW(window, message, wParam, lParam) : 0;
}

ControlKind KindOf(const Control& control) { return control.Owner()->GetNative()->KindOf(control.Id()); }

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

bool Control::Exists() const { return WindowOf(*this) != nullptr; }

void Control::SetText(const std::wstring& text) {
  HWND window = WindowOf(*this);
  if (!window) return;
  if (KindOf(*this) == ControlKind::Link) {
    dialog->GetNative()->linkCaptions[id] = text;
    ::SetWindowTextW(window, win32::LinkMarkup(text).c_str());
    return;
  }
  ::SetWindowTextW(window, text.c_str());
}

std::wstring Control::Text() const {
  HWND window = WindowOf(*this);
  if (!window) return {};
  if (KindOf(*this) == ControlKind::Link) return dialog->GetNative()->linkCaptions[id];
  return WindowText(window);
}

void Control::Show(bool visible) {
  if (HWND window = WindowOf(*this)) ::ShowWindow(window, visible ? SW_SHOW : SW_HIDE);
}

bool Control::IsVisible() const { return (Style() & WS_VISIBLE) != 0; }

void Control::Enable(bool enabled) {
  if (HWND window = WindowOf(*this)) ::EnableWindow(window, enabled ? TRUE : FALSE);
}

bool Control::IsEnabled() const {
  HWND window = WindowOf(*this);
  return window && ::IsWindowEnabled(window);
}

void Control::SetFocus() {
  if (HWND window = WindowOf(*this)) ::SetFocus(window);
}

Rect Control::WindowRect() const {
  HWND window = WindowOf(*this);
  if (!window) return {};
  RECT rect;
  ::GetWindowRect(window, &rect);
  ::MapWindowPoints(nullptr, dialog->GetNative()->window, reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right, rect.bottom};
}

void Control::MoveTo(const Rect& rect) {
  if (HWND window = WindowOf(*this))
    ::SetWindowPos(window, nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

std::uint32_t Control::Style() const {
  HWND window = WindowOf(*this);
  return window ? static_cast<std::uint32_t>(::GetWindowLongPtrW(window, GWL_STYLE)) : 0;
}

void Control::ModifyStyle(std::uint32_t remove, std::uint32_t add) {
  HWND window = WindowOf(*this);
  if (!window) return;
  ::SetWindowLongPtrW(window, GWL_STYLE, static_cast<LONG_PTR>((Style() & ~remove) | add));
  ::SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void Control::SetCheck(int state) { Send(*this, BM_SETCHECK, static_cast<WPARAM>(state)); }
int Control::Check() const { return static_cast<int>(Send(*this, BM_GETCHECK)); }

void Control::ResetContent() { Send(*this, CB_RESETCONTENT); }

int Control::AddItem(const std::wstring& text) {
  return static_cast<int>(Send(*this, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int Control::ItemCount() const { return static_cast<int>(Send(*this, CB_GETCOUNT)); }

std::wstring Control::ItemText(int index) const {
  const LRESULT length = Send(*this, CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied = Send(*this, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

void Control::SetSelection(int index) { Send(*this, CB_SETCURSEL, static_cast<WPARAM>(index)); }
int Control::Selection() const { return WindowOf(*this) ? static_cast<int>(Send(*this, CB_GETCURSEL)) : kNoSelection; }

void Control::SetRange(int minimum, int maximum) {
  Send(*this, PBM_SETRANGE32, static_cast<WPARAM>(minimum), static_cast<LPARAM>(maximum));
}

void Control::SetPosition(int position) { Send(*this, PBM_SETPOS, static_cast<WPARAM>(position)); }
void Control::SetStep(int step) { Send(*this, PBM_SETSTEP, static_cast<WPARAM>(step)); }
void Control::StepIt() { Send(*this, PBM_STEPIT); }

void Control::SetMarquee(bool on, unsigned intervalMilliseconds) {
  Send(*this, PBM_SETMARQUEE, on ? TRUE : FALSE, static_cast<LPARAM>(intervalMilliseconds));
}

void Control::SetFont(const Font& font) {
  if (font.IsValid()) Send(*this, WM_SETFONT, reinterpret_cast<WPARAM>(font.GetNative()->font.Get()), TRUE);
}

void Control::SetImage(std::shared_ptr<Image> image) {
  HWND window = WindowOf(*this);
  if (!window) return;
  dialog->GetNative()->images[id] = std::move(image);
  ::InvalidateRect(window, nullptr, TRUE);
}

void Control::SetUrl(const std::wstring& url) {
  if (WindowOf(*this)) dialog->GetNative()->urls[id] = url;
}

std::wstring Control::Url() const { return WindowOf(*this) ? dialog->GetNative()->urls[id] : std::wstring(); }

void Control::SizeToContent() {
  HWND window = WindowOf(*this);
  if (!window) return;
  const std::wstring caption = Text();
  HDC dc = ::GetDC(window);
  HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)));
  RECT bounds{0, 0, 0, 0};
  ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &bounds, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  ::SelectObject(dc, previous);
  ::ReleaseDC(window, dc);
  // A little room for the focus rectangle around the text.
  ::SetWindowPos(window, nullptr, 0, 0, bounds.right + 4, bounds.bottom + 2, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::EnableUrlDetection(bool on) { Send(*this, EM_AUTOURLDETECT, on ? TRUE : FALSE); }

Font::Font() = default;
Font::~Font() = default;
Font::Font(Font&&) noexcept = default;
Font& Font::operator=(Font&&) noexcept = default;

Font Font::DerivedFrom(const Control& control, int height, int weight) {
  Font font;
  HFONT current = reinterpret_cast<HFONT>(Send(control, WM_GETFONT));
  LOGFONTW description{};
  if (!current || ::GetObjectW(current, sizeof description, &description) == 0) return font;
  description.lfHeight = height;
  description.lfWeight = weight;
  platform::win32::GdiObject created(::CreateFontIndirectW(&description));
  if (!created) return font;
  font.native = std::make_unique<Native>();
  font.native->font = std::move(created);
  font.native->fontSpec = {description.lfFaceName, height, weight};
  return font;
}

bool Font::IsValid() const { return native != nullptr; }
FontSpec Font::Description() const { return native ? native->fontSpec : FontSpec{}; }

namespace {

HMENU MenuOf(Dialog* dialog) {
  HWND window = dialog ? dialog->GetNative()->window : nullptr;
  return window ? ::GetSystemMenu(window, FALSE) : nullptr;
}

}  // namespace

bool SystemMenu::Exists() const { return MenuOf(dialog) != nullptr; }

void SystemMenu::AppendSeparator() {
  if (HMENU menu = MenuOf(dialog)) ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
}

void SystemMenu::AppendItem(std::uint32_t command, const std::wstring& text) {
  if (HMENU menu = MenuOf(dialog)) ::AppendMenuW(menu, MF_STRING, command, text.c_str());
}

void SystemMenu::RemoveCommand(std::uint32_t command) {
  if (HMENU menu = MenuOf(dialog)) ::RemoveMenu(menu, command, MF_BYCOMMAND);
}

std::vector<SystemMenuItem> SystemMenu::Items() const {
  std::vector<SystemMenuItem> items;
  HMENU menu = MenuOf(dialog);
  const int count = menu ? ::GetMenuItemCount(menu) : 0;
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = static_cast<UINT>(std::size(text));
    if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    const bool separator = (info.fType & MFT_SEPARATOR) != 0;
    items.push_back({separator ? 0u : info.wID, separator ? L"" : text, separator});
  }
  return items;
}

}  // namespace ui
