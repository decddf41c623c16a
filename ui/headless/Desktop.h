// Every headless window of the process with the state a Win32 window and
// its controls would hold, under one lock. Windows belong to the thread that
// created them; messages posted to a window go to that thread's queue.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ui/DialogTemplate.h"
#include "ui/Font.h"
#include "ui/Geometry.h"
#include "ui/PostedMessages.h"
#include "ui/SystemMenu.h"
#include "ui/headless/MessageQueue.h"

namespace ui {
class Image;
}

namespace ui::headless {

inline constexpr std::uint32_t kWmTimer = 0x0113;

struct ProgressState {
  int minimum = 0;
  int maximum = 100;
  int position = 0;
  int step = 10;
  bool marquee = false;
  unsigned marqueeInterval = 0;
  bool operator==(const ProgressState&) const = default;
};

struct ControlState {
  int id = 0;
  ControlKind kind = ControlKind::Text;
  std::wstring text;
  std::uint32_t style = 0;
  Rect rect;  // pixels in the dialog's client area
  int check = 0;
  std::vector<std::wstring> items;
  int selection = -1;
  ProgressState progress;
  std::wstring url;
  std::shared_ptr<Image> image;
  std::optional<FontSpec> font;
  bool urlDetection = false;
};

// Receives what the queue delivers to one window.
class WindowHandler {
 public:
  virtual ~WindowHandler() = default;
  virtual void HandleMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

struct WindowState {
  WindowHandle handle = 0;
  WindowHandle parent = 0;  // child windows
  WindowHandle owner = 0;   // modal dialogs and message boxes
  int templateId = 0;
  std::wstring title;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  Rect rect;  // parent's client coordinates for a child, screen for the others
  FontSpec font;
  std::vector<ControlState> controls;
  bool hasSystemMenu = false;
  std::vector<SystemMenuItem> systemMenu;
  int iconId = 0;
  int defaultButton = 0;
  int focus = 0;  // id of the control with the focus, 0 for none
  std::optional<std::uint32_t> background;
  // Message boxes: what they ask and, once given, the answer.
  bool isMessageBox = false;
  std::wstring text;
  std::optional<int> answer;

  std::shared_ptr<MessageQueue> queue;
  WindowHandler* handler = nullptr;

  ControlState* FindControl(int id);
  bool IsVisible() const;
  bool IsEnabled() const;
};

class Desktop {
 public:
  static Desktop& Instance();

  std::mutex& Mutex() { return mutex; }

  // With the lock held: adds a window owned by the calling thread.
  WindowState& Add(WindowState state);
  void Remove(WindowHandle handle);
  WindowState* Find(WindowHandle handle);
  std::vector<WindowState*> All();

  // Takes the lock: the queue of the window's thread, null when it is gone.
  std::shared_ptr<MessageQueue> QueueOf(WindowHandle handle);

  // Window thread: hands a queued message to its window; a message for a
  // window that is gone is dropped.
  void Deliver(const PostedMessage& message);

 private:
  std::mutex mutex;
  std::vector<std::unique_ptr<WindowState>> windows;
  WindowHandle nextHandle = 0x10;
};

}  // namespace ui::headless
