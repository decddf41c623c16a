#include "ui/headless/Desktop.h"

#include <algorithm>

#include "ui/WindowStyles.h"

namespace ui::headless {

ControlState* WindowState::FindControl(int id) {
  const auto found = std::ranges::find(controls, id, &ControlState::id);
  return found == controls.end() ? nullptr : &*found;
}

bool WindowState::IsVisible() const { return (style & kWsVisible) != 0; }
bool WindowState::IsEnabled() const { return (style & kWsDisabled) == 0; }

Desktop& Desktop::Instance() {
  static Desktop desktop;
  return desktop;
}

WindowState& Desktop::Add(WindowState state) {
  // Handles grow like Win32 ones and are never reused within a process.
  state.handle = nextHandle;
  nextHandle += 4;
  if (!state.queue) state.queue = MessageQueue::ForCurrentThread();
  windows.push_back(std::make_unique<WindowState>(std::move(state)));
  return *windows.back();
}

void Desktop::Remove(WindowHandle handle) {
  std::erase_if(windows, [&](const auto& window) { return window->handle == handle; });
}

WindowState* Desktop::Find(WindowHandle handle) {
  if (handle == 0) return nullptr;
  const auto found = std::ranges::find(windows, handle, &WindowState::handle);
  return found == windows.end() ? nullptr : found->get();
}

std::vector<WindowState*> Desktop::All() {
  std::vector<WindowState*> all;
  for (const auto& window : windows) all.push_back(window.get());
  return all;
}

std::shared_ptr<MessageQueue> Desktop::QueueOf(WindowHandle handle) {
  std::lock_guard lock(mutex);
  WindowState* window = Find(handle);
  return window ? window->queue : nullptr;
}

void Desktop::Deliver(const PostedMessage& message) {
  WindowHandler* handler = nullptr;
  {
    std::lock_guard lock(mutex);
    if (WindowState* window = Find(message.window)) handler = window->handler;
  }
  // Windows are destroyed only on their own thread, which is this one, so
  // the handler stays valid while it runs.
  if (handler) handler->HandleMessage(message.message, message.wParam, message.lParam);
}

}  // namespace ui::headless
