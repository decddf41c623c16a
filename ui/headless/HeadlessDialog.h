// The headless side of a Dialog: its window on the Desktop and the way
// queued messages and test actions reach the dialog's On* hooks.
#pragma once

#include <cstdint>
#include <optional>

#include "ui/Dialog.h"
#include "ui/headless/Desktop.h"

namespace ui {

// Message numbers the headless queue delivers (the Win32 values).
namespace headless {
inline constexpr std::uint32_t kWmClose = 0x0010;
inline constexpr std::uint32_t kWmCommand = 0x0111;
inline constexpr std::uint32_t kWmSysCommand = 0x0112;
}  // namespace headless

struct Dialog::Native : headless::WindowHandler {
  explicit Native(Dialog& dialog) : dialog(dialog) {}

  // headless::WindowHandler: WM_TIMER, WM_COMMAND, WM_CLOSE, WM_SYSCOMMAND
  // and messages from kWmUser on.
  void HandleMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

  // What user actions turn into, on the window thread.
  void Command(int controlId, int notifyCode) { dialog.OnCommand(controlId, notifyCode); }
  void LinkClicked(int controlId, const LinkClick& link) { dialog.OnLinkClicked(controlId, link); }
  void SysCommand(std::uint32_t command);
  std::optional<CtlColor> CtlColorOf(int controlId) { return dialog.OnCtlColor(controlId); }

  // The window's state under the Desktop's lock (held by the caller); null
  // when the dialog has no window.
  headless::WindowState* Window() const;

  Dialog& dialog;
  WindowHandle handle = 0;
  bool modal = false;
  bool ended = false;
  int result = 0;
};

}  // namespace ui
