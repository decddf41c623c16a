#include "ui/headless/Driver.h"

#include <algorithm>
#include <regex>
#include <thread>

#include "ui/WindowStyles.h"
#include "ui/headless/HeadlessDialog.h"

namespace ui::headless {
namespace {

// Under the Desktop's lock: shown and accepting input, with all its parents.
bool AcceptsInput(Desktop& desktop, const WindowState& window) {
  for (const WindowState* current = &window; current; current = desktop.Find(current->parent)) {
    if (!current->IsVisible() || !current->IsEnabled()) return false;
  }
  return true;
}

Dialog::Native* NativeOf(WindowState& window) { return dynamic_cast<Dialog::Native*>(window.handler); }

// The href of each <a> anchor of SysLink markup, in order ("" without one).
std::vector<std::wstring> AnchorTargets(const std::wstring& markup) {
  static const std::wregex anchor(LR"(<a(\s[^>]*)?>)", std::regex::icase);
  static const std::wregex href(LR"(href\s*=\s*"([^"]*)\")", std::regex::icase);
  std::vector<std::wstring> targets;
  for (std::wsregex_iterator it(markup.begin(), markup.end(), anchor), end; it != end; ++it) {
    const std::wstring attributes = (*it)[1].str();
    std::wsmatch match;
    targets.push_back(std::regex_search(attributes, match, href) ? match[1].str() : L"");
  }
  return targets;
}

}  // namespace

std::optional<WindowState> Driver::Window(WindowHandle handle) {
  auto& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.Mutex());
  if (WindowState* window = desktop.Find(handle)) return *window;
  return std::nullopt;
}

std::optional<WindowState> Driver::FindDialog(int templateId) {
  auto& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.Mutex());
  std::optional<WindowState> newest;
  for (WindowState* window : desktop.All()) {
    if (window->templateId == templateId && !window->isMessageBox) newest = *window;
  }
  return newest;
}

std::optional<ControlState> Driver::ControlOf(WindowHandle dialog, int controlId) {
  auto& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.Mutex());
  WindowState* window = desktop.Find(dialog);
  ControlState* control = window ? window->FindControl(controlId) : nullptr;
  if (!control) return std::nullopt;
  return *control;
}

std::vector<WindowState> Driver::MessageBoxes() {
  auto& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.Mutex());
  std::vector<WindowState> boxes;
  for (WindowState* window : desktop.All()) {
    if (window->isMessageBox && !window->answer) boxes.push_back(*window);
  }
  return boxes;
}

bool Driver::IsShown(WindowHandle handle) {
  auto& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.Mutex());
  for (const WindowState* current = desktop.Find(handle); current; current = desktop.Find(current->parent)) {
    if (!current->IsVisible()) return false;
    if (current->parent == 0) return true;
  }
  return false;
}

bool Driver::Dispatch(WindowHandle window, std::function<void(Dialog::Native&)> action) {
  return RunOnWindowThread(window, [window, action = std::move(action)] {
    std::unique_lock lock(Desktop::Instance().Mutex());
    WindowState* state = Desktop::Instance().Find(window);
    Dialog::Native* native = state ? NativeOf(*state) : nullptr;
    lock.unlock();
    // The window cannot go away meanwhile: only this thread destroys it.
    if (native) action(*native);
  });
}

bool Driver::RunOnWindowThread(WindowHandle window, std::function<void()> work) {
  const auto queue = Desktop::Instance().QueueOf(window);
  if (!queue) return false;
  queue->PostTask(std::move(work));
  return queue->WaitUntilIdle(timeout);
}

bool Driver::Click(WindowHandle dialog, int controlId) {
  auto& desktop = Desktop::Instance();
  {
    std::lock_guard lock(desktop.Mutex());
    WindowState* window = desktop.Find(dialog);
    ControlState* control = window ? window->FindControl(controlId) : nullptr;
    if (!control || !NativeOf(*window) || !AcceptsInput(desktop, *window)) return false;
    if (!(control->style & kWsVisible) || (control->style & kWsDisabled)) return false;
    if (control->kind == ControlKind::CheckBox) control->check = control->check ? kBstUnchecked : kBstChecked;
    if (control->kind == ControlKind::RadioButton) {
      // An automatic radio button clears the others of its group: the
      // controls from the last group start up to the next one.
      auto& controls = window->controls;
      const auto self = std::ranges::find(controls, controlId, &ControlState::id);
      auto first = self;
      while (first != controls.begin() && !(first->style & kWsGroup)) --first;
      for (auto it = first; it != controls.end() && (it == first || !(it->style & kWsGroup)); ++it) {
        if (it->kind == ControlKind::RadioButton) it->check = kBstUnchecked;
      }
      control->check = kBstChecked;
    }
    window->focus = controlId;
  }
  return Dispatch(dialog, [controlId](Dialog::Native& native) { native.Command(controlId, kBnClicked); });
}

bool Driver::Select(WindowHandle dialog, int controlId, int index) {
  auto& desktop = Desktop::Instance();
  {
    std::lock_guard lock(desktop.Mutex());
    WindowState* window = desktop.Find(dialog);
    ControlState* control = window ? window->FindControl(controlId) : nullptr;
    if (!control || control->kind != ControlKind::DropDownList || !AcceptsInput(desktop, *window)) return false;
    if (!(control->style & kWsVisible) || (control->style & kWsDisabled)) return false;
    if (index < 0 || index >= static_cast<int>(control->items.size())) return false;
    control->selection = index;
  }
  return Dispatch(dialog, [controlId](Dialog::Native& native) { native.Command(controlId, kCbnSelChange); });
}

bool Driver::ClickLink(WindowHandle dialog, int controlId, int anchorIndex) {
  LinkClick link{.index = anchorIndex, .url = {}};
  {
    auto& desktop = Desktop::Instance();
    std::lock_guard lock(desktop.Mutex());
    WindowState* window = desktop.Find(dialog);
    ControlState* control = window ? window->FindControl(controlId) : nullptr;
    if (!control || !AcceptsInput(desktop, *window) || !(control->style & kWsVisible)) return false;
    if (control->kind == ControlKind::Link) {
      if (anchorIndex != 0) return false;
      link.url = control->url;
    } else if (control->kind == ControlKind::SysLink) {
      const auto targets = AnchorTargets(control->text);
      if (anchorIndex < 0 || anchorIndex >= static_cast<int>(targets.size())) return false;
      link.url = targets[anchorIndex];
    } else {
      return false;
    }
  }
  return Dispatch(dialog, [controlId, link](Dialog::Native& native) { native.LinkClicked(controlId, link); });
}

bool Driver::PressEnter(WindowHandle dialog) {
  int button = 0;
  {
    std::lock_guard lock(Desktop::Instance().Mutex());
    WindowState* window = Desktop::Instance().Find(dialog);
    if (!window) return false;
    button = window->defaultButton ? window->defaultButton : kIdOkCommand;
  }
  // Enter on a default button that cannot be clicked does nothing.
  if (Click(dialog, button)) return true;
  return button == kIdOkCommand && Dispatch(dialog, [](Dialog::Native& native) { native.Command(kIdOkCommand, kBnClicked); });
}

bool Driver::Close(WindowHandle window) { return SystemCommand(window, kScClose); }

bool Driver::SystemCommand(WindowHandle window, std::uint32_t command) {
  {
    auto& desktop = Desktop::Instance();
    std::lock_guard lock(desktop.Mutex());
    WindowState* state = desktop.Find(window);
    if (!state || !NativeOf(*state) || !AcceptsInput(desktop, *state)) return false;
    const bool inMenu = std::ranges::any_of(state->systemMenu, [&](const SystemMenuItem& item) {
      return !item.separator && item.command == command;
    });
    if (!inMenu) return false;
  }
  return Dispatch(window, [command](Dialog::Native& native) { native.SysCommand(command); });
}

bool Driver::SendCommand(WindowHandle window, int commandId) {
  return Dispatch(window, [commandId](Dialog::Native& native) { native.Command(commandId, 0); });
}

bool Driver::AnswerMessageBox(int answer) {
  WindowHandle box = 0;
  {
    auto& desktop = Desktop::Instance();
    std::lock_guard lock(desktop.Mutex());
    for (WindowState* window : desktop.All()) {
      if (window->isMessageBox && !window->answer) box = window->handle;
    }
    if (box == 0) return false;
    desktop.Find(box)->answer = answer;
  }
  // The task wakes the box's loop, which then sees the answer.
  return RunOnWindowThread(box, [] {});
}

std::optional<CtlColor> Driver::BackgroundOf(WindowHandle dialog, int controlId) {
  // Shared, so a late run after a timeout still writes somewhere valid.
  auto color = std::make_shared<std::optional<CtlColor>>();
  const bool ran =
      Dispatch(dialog, [color, controlId](Dialog::Native& native) { *color = native.CtlColorOf(controlId); });
  return ran ? *color : std::nullopt;
}

PaintedImage Driver::Paint(WindowHandle dialog, int controlId) {
  const auto control = ControlOf(dialog, controlId);
  if (!control) return {};
  PaintedImage painted{control->rect.Width(), control->rect.Height(), {}};
  const auto image = std::dynamic_pointer_cast<DecodedImage>(control->image);
  if (!image || painted.width <= 0 || painted.height <= 0) return painted;
  // Drawn at (0, 0) stretched to the client rectangle, without keeping the
  // aspect ratio: each pixel samples the image point under its centre.
  painted.pixels.reserve(static_cast<std::size_t>(painted.width) * painted.height);
  for (int y = 0; y < painted.height; ++y) {
    for (int x = 0; x < painted.width; ++x) {
      painted.pixels.push_back(image->PixelAt((2 * x + 1) * image->Width() / (2 * painted.width),
                                              (2 * y + 1) * image->Height() / (2 * painted.height)));
    }
  }
  return painted;
}

bool Driver::WaitUntilIdle(WindowHandle window) {
  const auto queue = Desktop::Instance().QueueOf(window);
  return queue && queue->WaitUntilIdle(timeout);
}

bool Driver::WaitFor(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

}  // namespace ui::headless
