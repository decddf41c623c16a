// What a native test does with headless windows: read every window and
// control as the user would see it, and act like the user (click, pick a
// list item, close, answer a message box). Actions run on the window's own
// thread; each returns once that thread is idle again, or false when the
// target could not take the action (gone, hidden or disabled).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "ui/Dialog.h"
#include "ui/headless/DecodedImage.h"
#include "ui/headless/Desktop.h"

namespace ui::headless {

// What an image control shows: its client area, pixel by pixel, or nothing
// painted at all.
struct PaintedImage {
  int width = 0;
  int height = 0;
  std::vector<Rgba> pixels;  // empty when nothing is painted
  Rgba At(int x, int y) const { return pixels.at(static_cast<std::size_t>(y) * width + x); }
};

// Sanitizer builds run several times slower than the plain build: every
// wait stretches with them, so a slow machine is not taken for a hang.
// g++ announces a sanitizer with a macro, clang through __has_feature.
#if defined(__has_feature)
#define BRIMVALE_HAS_FEATURE(feature) __has_feature(feature)
#else
#define BRIMVALE_HAS_FEATURE(feature) 0
#endif
#if defined(__SANITIZE_THREAD__) || BRIMVALE_HAS_FEATURE(thread_sanitizer)
inline constexpr int kSlowdown = 10;
#elif defined(__SANITIZE_ADDRESS__) || BRIMVALE_HAS_FEATURE(address_sanitizer)
inline constexpr int kSlowdown = 4;
#else
inline constexpr int kSlowdown = 1;
#endif

class Driver {
 public:
  explicit Driver(std::chrono::milliseconds timeout = std::chrono::seconds(10)) : timeout(timeout * kSlowdown) {}

  // Snapshots of the windows (copies taken under the Desktop's lock).
  static std::optional<WindowState> Window(WindowHandle handle);
  // The most recently created window with this template, if any.
  static std::optional<WindowState> FindDialog(int templateId);
  static std::optional<ControlState> ControlOf(WindowHandle dialog, int controlId);
  // Open message boxes, oldest first.
  static std::vector<WindowState> MessageBoxes();
  // Shown on screen: the window and all its parents are visible.
  static bool IsShown(WindowHandle handle);

  bool Click(WindowHandle dialog, int controlId);
  bool Select(WindowHandle dialog, int controlId, int index);
  bool ClickLink(WindowHandle dialog, int controlId, int anchorIndex);
  // Enter: presses the dialog's default button.
  bool PressEnter(WindowHandle dialog);
  // The close box of the title bar: disabled without a Close item.
  bool Close(WindowHandle window);
  // An item picked from the window menu (it must be there).
  bool SystemCommand(WindowHandle window, std::uint32_t command);
  // Answers the most recent open message box.
  bool AnswerMessageBox(int answer);
  // A command sent to the window like WM_COMMAND from a menu or accelerator.
  bool SendCommand(WindowHandle window, int commandId);

  // How the dialog's window procedure would paint the control's background.
  std::optional<CtlColor> BackgroundOf(WindowHandle dialog, int controlId);
  // What an image control paints.
  static PaintedImage Paint(WindowHandle dialog, int controlId);

  // Waits until the thread of the window is idle.
  bool WaitUntilIdle(WindowHandle window);
  // Polls until the condition holds.
  bool WaitFor(const std::function<bool()>& condition);

 private:
  // Runs work on the window's thread and waits until that thread is idle.
  bool RunOnWindowThread(WindowHandle window, std::function<void()> work);
  // Runs action with the window's dialog on the window's thread.
  bool Dispatch(WindowHandle window, std::function<void(Dialog::Native&)> action);

  std::chrono::milliseconds timeout;
};

}  // namespace ui::headless
