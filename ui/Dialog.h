// Our dialog window: built from a template of the program (DialogTemplate.h),
// run modally or created as a modeless child, with its controls reached by
// id. Derived classes react to what happens by overriding the On* hooks,
// which run on the window thread only.
//
// Each backend implements this class: ui/win32 with real Win32 dialogs,
// ui/headless with in-memory windows on a window thread of their own.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "ui/Control.h"
#include "ui/Geometry.h"
#include "ui/PostedMessages.h"
#include "ui/SystemMenu.h"

namespace ui {

using Color = std::uint32_t;  // 0x00BBGGRR, as a Windows COLORREF

// How a control's background is painted (the answer to WM_CTLCOLOR*).
struct CtlColor {
  Color background = 0;
  bool transparentText = false;  // text drawn without its own background
  bool operator==(const CtlColor&) const = default;
};

// A link clicked in a SysLink control (its anchor's index and href) or a
// link control (index 0 and its URL).
struct LinkClick {
  int index = 0;
  std::wstring url;
};

class Dialog {
 public:
  explicit Dialog(int templateId);
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  int TemplateId() const { return templateId; }

  // Creates the window modeless: a child of parent for a child template,
  // top-level (parent may be null) otherwise. False when the template is
  // missing or the window cannot be made. OnInitDialog runs before it returns.
  bool Create(Dialog* parent);
  // Runs the dialog modally, owned by owner (may be null), until EndDialog;
  // returns EndDialog's result, or -1 when the window cannot be made.
  int DoModal(Dialog* owner = nullptr);
  // Ends a modal dialog once the current message has been handled.
  void EndDialog(int result);
  void DestroyWindow();

  bool HasWindow() const;
  // True while DoModal runs the dialog.
  bool IsModal() const;
  WindowHandle Handle() const;
  Control Item(int id) { return Control(this, id); }

  void SetTitle(const std::wstring& title);
  std::wstring Title() const;
  void Show(bool visible);
  bool IsVisible() const;
  bool IsMinimized() const;
  void SetFocus();
  // Moves and sizes the window (parent's client coordinates for a child)
  // without changing its place in the z-order.
  void MoveTo(const Rect& rect);
  Rect ClientRect() const;
  std::uint32_t Style() const;
  // Removes, then adds style bits and redraws the frame (SWP_FRAMECHANGED).
  void ModifyStyle(std::uint32_t remove, std::uint32_t add);

  // The colour the dialog and, unless OnCtlColor says otherwise, its
  // controls are painted with.
  void SetBackgroundColor(Color color);
  // Big and small window icon from the icon resource; the icon is also
  // painted centred in the window while it is minimised.
  void SetIcon(int iconResourceId);
  // The button that Enter presses (DM_SETDEFID).
  void SetDefaultButton(int controlId);
  SystemMenu GetSystemMenu() { return SystemMenu(this); }

  // A message box owned by this window; returns the button pressed.
  int ShowMessageBox(const std::wstring& text, const std::wstring& caption, std::uint32_t style);

  // Window timers: OnTimer(id) every period while the timer runs.
  void SetTimer(std::uintptr_t id, unsigned periodMilliseconds);
  void KillTimer(std::uintptr_t id);

  struct Native;
  Native* GetNative() const { return native.get(); }

 protected:
  // After the window and its controls exist and before it is shown.
  virtual bool OnInitDialog() { return true; }
  // A control's WM_COMMAND notification (kBnClicked, kCbnSelChange, ...) or
  // a command sent to the dialog (code 0). By default OK and Cancel (Enter
  // and Escape) end a modal dialog with their id.
  virtual void OnCommand(int controlId, int notifyCode);
  virtual void OnLinkClicked(int /*controlId*/, const LinkClick& /*link*/) {}
  virtual void OnTimer(std::uintptr_t /*timerId*/) {}
  // A message from kWmUser on, posted or sent; true when handled, with the
  // result in `result`.
  virtual bool OnMessage(std::uint32_t /*message*/, std::uintptr_t /*wParam*/, std::intptr_t /*lParam*/,
                         std::intptr_t& /*result*/) {
    return false;
  }
  // WM_CLOSE: by default ends a modal dialog with kIdCancelCommand.
  virtual void OnClose();
  // WM_SYSCOMMAND: true when handled; otherwise the default handling runs
  // (Close sends WM_CLOSE, Minimize minimises, ...).
  virtual bool OnSysCommand(std::uint32_t /*command*/) { return false; }
  // The background of a control (0 for the dialog itself); nullopt leaves
  // the system's colours. By default the dialog's background colour.
  virtual std::optional<CtlColor> OnCtlColor(int controlId);

 private:
  int templateId;
  std::optional<Color> backgroundColor;
  std::unique_ptr<Native> native;
};

}  // namespace ui
