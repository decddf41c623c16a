// Dialogs as real Win32 dialog windows. The modal loop is our own, so that a
// page (a child dialog) handles its keys before the host, as the pages'
// default buttons need.
#include "ui/win32/Win32Dialog.h"

#include <commctrl.h>
#include <richedit.h>

#include <vector>

#include "ui/DialogTemplate.h"
#include "ui/StringTable.h"
#include "ui/WindowStyles.h"
#include "ui/win32/DialogTemplateBytes.h"
#include "ui/win32/GdiplusImage.h"

namespace ui {
namespace {

HINSTANCE ProgramModule() { return ::GetModuleHandleW(nullptr); }

Dialog::Native* NativeOf(HWND window) {
  return reinterpret_cast<Dialog::Native*>(::GetWindowLongPtrW(window, DWLP_USER));
}

bool IsOurDialog(HWND window) {
  return ::GetWindowLongPtrW(window, DWLP_DLGPROC) == reinterpret_cast<LONG_PTR>(&Dialog::Native::Procedure);
}

LRESULT CALLBACK ImageStaticProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR data) {
  if (message == WM_PAINT) {
    reinterpret_cast<Dialog::Native*>(data)->PaintImage(window);
    return 0;
  }
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(window, &ImageStaticProcedure, 0);
  return ::DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

std::wstring win32::LinkMarkup(const std::wstring& caption) {
  // SysLink reads "<" as markup, so a caption keeps its own angle brackets
  // out of the anchor.
  std::wstring escaped;
  for (wchar_t c : caption) escaped += c == L'<' ? std::wstring(L"&lt;") : std::wstring(1, c);
  return L"<a>" + escaped + L"</a>";
}

INT_PTR CALLBACK Dialog::Native::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Native* native = NativeOf(window);
  if (message == WM_INITDIALOG) {
    native = reinterpret_cast<Native*>(lParam);
    ::SetWindowLongPtrW(window, DWLP_USER, lParam);
    native->window = window;
  }
  if (!native) return FALSE;
  const INT_PTR handled = native->Handle(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    native->window = nullptr;
    native->brushes.clear();
  }
  return handled;
}

ControlKind Dialog::Native::KindOf(int controlId) const {
  const DialogTemplate* dialogTemplate = FindDialogTemplate(dialog.TemplateId());
  const ControlTemplate* control = dialogTemplate ? dialogTemplate->FindControl(controlId) : nullptr;
  return control ? control->kind : ControlKind::Text;
}

HBRUSH Dialog::Native::BrushFor(Color color) {
  auto& brush = brushes[color];
  if (!brush) brush.Reset(::CreateSolidBrush(color));
  return static_cast<HBRUSH>(brush.Get());
}

void Dialog::Native::PaintImage(HWND control) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(control, &paint);
  const auto found = images.find(::GetDlgCtrlID(control));
  // Every image of this backend is a GDI+ one (GdiplusImage.cpp); a built-in
  // picture is decoded here when first painted.
  const auto* image = found == images.end() ? nullptr : static_cast<win32::GdiplusImage*>(found->second.get());
  if (Gdiplus::Bitmap* bitmap = image ? image->Get() : nullptr) {
    RECT client;
    ::GetClientRect(control, &client);
    Gdiplus::Graphics graphics(dc);
    graphics.DrawImage(bitmap, 0, 0, client.right - client.left, client.bottom - client.top);
  }
  ::EndPaint(control, &paint);
}

INT_PTR Dialog::Native::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      const DialogTemplate* dialogTemplate = FindDialogTemplate(dialog.TemplateId());
      for (const ControlTemplate& control : dialogTemplate ? dialogTemplate->controls : std::span<const ControlTemplate>{}) {
        HWND item = ::GetDlgItem(window, control.id);
        if (!item) continue;
        if (control.kind == ControlKind::Image)
          ::SetWindowSubclass(item, &ImageStaticProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
        if (control.kind == ControlKind::Link) {
          linkCaptions[control.id] = std::wstring(control.text);
          ::SetWindowTextW(item, win32::LinkMarkup(std::wstring(control.text)).c_str());
        }
      }
      return dialog.OnInitDialog() ? TRUE : FALSE;
    }
    case WM_COMMAND:
      dialog.OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      const int id = static_cast<int>(header->idFrom);
      const ControlKind kind = KindOf(id);
      // A link control opens on a click or Enter; a SysLink reports clicks only.
      const bool click = header->code == static_cast<UINT>(NM_CLICK);
      if (kind == ControlKind::Link && (click || header->code == static_cast<UINT>(NM_RETURN))) {
        dialog.OnLinkClicked(id, {.index = 0, .url = urls[id]});
        return TRUE;
      }
      if (kind == ControlKind::SysLink && click) {
        const auto* link = reinterpret_cast<const NMLINK*>(lParam);
        dialog.OnLinkClicked(id, {.index = link->item.iLink, .url = link->item.szUrl});
        ::SetWindowLongPtrW(window, DWLP_MSGRESULT, 0);
        return TRUE;
      }
      return FALSE;
    }
    case WM_TIMER:
      dialog.OnTimer(wParam);
      return TRUE;
    case WM_CLOSE:
      dialog.OnClose();
      return TRUE;
    case WM_SYSCOMMAND:
      return dialog.OnSysCommand(static_cast<std::uint32_t>(wParam)) ? TRUE : FALSE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      const int id = message == WM_CTLCOLORDLG ? 0 : ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      const std::optional<CtlColor> color = dialog.OnCtlColor(id);
      if (!color) return FALSE;
      HDC dc = reinterpret_cast<HDC>(wParam);
      if (color->transparentText) {
        ::SetBkMode(dc, TRANSPARENT);
      } else {
        ::SetBkColor(dc, color->background);
      }
      return reinterpret_cast<INT_PTR>(BrushFor(color->background));
    }
    case WM_PAINT: {
      if (!::IsIconic(window) || !icon) return FALSE;
      PAINTSTRUCT paint;
      HDC dc = ::BeginPaint(window, &paint);
      ::SendMessageW(window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
      RECT client;
      ::GetClientRect(window, &client);
      const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
      const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
      ::DrawIcon(dc, x, y, icon);
      ::EndPaint(window, &paint);
      return TRUE;
    }
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(icon);
    default:
      break;
  }
  if (message >= WM_USER && message < WM_APP) {
    std::intptr_t result = 0;
    if (!dialog.OnMessage(message, wParam, lParam, result)) return FALSE;
    ::SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
  }
  return FALSE;
}

bool Dialog::Native::PreTranslate(MSG& message) const {
  if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
  for (HWND current = message.hwnd; current; current = ::GetParent(current)) {
    if (IsOurDialog(current) && ::IsDialogMessageW(current, &message)) return true;
    if (current == window) break;
  }
  return false;
}

Dialog::Dialog(int templateId) : templateId(templateId), native(std::make_unique<Native>(*this)) {}

Dialog::~Dialog() { DestroyWindow(); }

namespace {

// The dialog's window from its template in the table, built in memory
// (DialogTemplateBytes); null when the table has no such template.
HWND CreateFromTable(int templateId, HWND parent, DLGPROC procedure, LPARAM parameter) {
  const DialogTemplate* table = FindDialogTemplate(templateId);
  if (!table) return nullptr;
  const std::vector<std::uint16_t> bytes = win32::DialogTemplateBytes(*table);
  return ::CreateDialogIndirectParamW(ProgramModule(), reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()), parent,
                                      procedure, parameter);
}

}  // namespace

bool Dialog::Create(Dialog* parent) {
  if (HasWindow() || (parent && !parent->HasWindow())) return false;
  HWND window = CreateFromTable(templateId, parent ? parent->native->window : nullptr, &Native::Procedure,
                                reinterpret_cast<LPARAM>(native.get()));
  if (!window) return false;
  // A page lies above the controls of its parent's template.
  ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return true;
}

int Dialog::DoModal(Dialog* owner) {
  if (HasWindow()) return -1;
  HWND ownerWindow = owner ? owner->native->window : nullptr;
  native->modal = true;
  native->ended = false;
  HWND window = CreateFromTable(templateId, ownerWindow, &Native::Procedure, reinterpret_cast<LPARAM>(native.get()));
  if (!window) {
    native->modal = false;
    return -1;
  }
  const bool disableOwner = ownerWindow && ::IsWindowEnabled(ownerWindow);
  if (disableOwner) ::EnableWindow(ownerWindow, FALSE);
  // A dialog ended while it initialised is never shown.
  if (!native->ended) ::ShowWindow(window, SW_SHOW);
  MSG message;
  while (!native->ended) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      ::PostQuitMessage(static_cast<int>(message.wParam));  // leave WM_QUIT for the outer loop
      break;
    }
    if (got == -1) break;
    if (native->PreTranslate(message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  // The owner comes back before this window goes, so it takes the activation.
  if (disableOwner) ::EnableWindow(ownerWindow, TRUE);
  DestroyWindow();
  native->modal = false;
  return native->result;
}

void Dialog::EndDialog(int result) {
  native->result = result;
  native->ended = true;
  if (native->window) {
    ::ShowWindow(native->window, SW_HIDE);
    ::PostMessageW(native->window, WM_NULL, 0, 0);  // wakes the modal loop
  }
}

void Dialog::DestroyWindow() {
  if (native->window) ::DestroyWindow(native->window);
}

bool Dialog::HasWindow() const { return native->window != nullptr; }

bool Dialog::IsModal() const { return native->modal; }

WindowHandle Dialog::Handle() const { return reinterpret_cast<WindowHandle>(native->window); }

void Dialog::SetTitle(const std::wstring& title) {
  if (native->window) ::SetWindowTextW(native->window, title.c_str());
}

std::wstring Dialog::Title() const {
  if (!native->window) return {};
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(native->window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(native->window, text.data(), static_cast<int>(text.size()))));
  return text;
}

void Dialog::Show(bool visible) {
  if (native->window) ::ShowWindow(native->window, visible ? SW_SHOW : SW_HIDE);
}

bool Dialog::IsVisible() const { return (Style() & WS_VISIBLE) != 0; }

bool Dialog::IsMinimized() const { return native->window && ::IsIconic(native->window); }

void Dialog::SetFocus() {
  if (native->window) ::SetFocus(native->window);
}

void Dialog::MoveTo(const Rect& rect) {
  if (native->window)
    ::SetWindowPos(native->window, nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

Rect Dialog::ClientRect() const {
  RECT client{};
  if (native->window) ::GetClientRect(native->window, &client);
  return {client.left, client.top, client.right, client.bottom};
}

std::uint32_t Dialog::Style() const {
  return native->window ? static_cast<std::uint32_t>(::GetWindowLongPtrW(native->window, GWL_STYLE)) : 0;
}

void Dialog::ModifyStyle(std::uint32_t remove, std::uint32_t add) {
  if (!native->window) return;
  ::SetWindowLongPtrW(native->window, GWL_STYLE, static_cast<LONG_PTR>((Style() & ~remove) | add));
  ::SetWindowPos(native->window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void Dialog::SetBackgroundColor(Color color) {
  backgroundColor = color;
  if (native->window) ::InvalidateRect(native->window, nullptr, TRUE);
}

void Dialog::SetIcon(int iconResourceId) {
  native->icon = ::LoadIconW(ProgramModule(), MAKEINTRESOURCEW(iconResourceId));
  if (!native->window) return;
  ::SendMessageW(native->window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(native->icon));
  ::SendMessageW(native->window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(native->icon));
}

void Dialog::SetDefaultButton(int controlId) {
  if (native->window) ::SendMessageW(native->window, DM_SETDEFID, static_cast<WPARAM>(controlId), 0);
}

int Dialog::ShowMessageBox(const std::wstring& text, const std::wstring& caption, std::uint32_t style) {
  return ::MessageBoxW(native->window, text.c_str(), caption.c_str(), style);
}

void Dialog::SetTimer(std::uintptr_t id, unsigned periodMilliseconds) {
  if (native->window) ::SetTimer(native->window, id, periodMilliseconds, nullptr);
}

void Dialog::KillTimer(std::uintptr_t id) {
  if (native->window) ::KillTimer(native->window, id);
}

std::wstring LoadResourceString(int id) {
  const wchar_t* text = nullptr;
  const int length = ::LoadStringW(ProgramModule(), static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

}  // namespace ui
