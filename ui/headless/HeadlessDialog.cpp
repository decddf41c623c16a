// Dialogs as in-memory windows: built from the template table, run by the
// queue of the thread that created them.
#include "ui/headless/HeadlessDialog.h"

#include <algorithm>

#include "ui/DialogTemplate.h"
#include "ui/StringTable.h"
#include "ui/WindowStyles.h"

namespace ui {
namespace {

using headless::Desktop;
using headless::WindowState;

// Dialog base units of the template font at 96 DPI: a quarter of the average
// character width and an eighth of the character height per dialog unit.
struct BaseUnits {
  int x;
  int y;
};

BaseUnits BaseUnitsOf(const DialogTemplate& dialogTemplate) {
  const int points = dialogTemplate.fontPoints > 0 ? dialogTemplate.fontPoints : 8;
  return {points * 3 / 4, points * 13 / 8};
}

Rect ToPixels(const DialogUnits& units, BaseUnits base) {
  const int left = units.x * base.x / 4;
  const int top = units.y * base.y / 8;
  return {left, top, left + units.width * base.x / 4, top + units.height * base.y / 8};
}

// Every window whose parent or owner chain leads to `handle`, then the window.
std::vector<WindowHandle> WindowAndDescendants(Desktop& desktop, WindowHandle handle) {
  std::vector<WindowHandle> result{handle};
  for (std::size_t i = 0; i < result.size(); ++i) {
    for (WindowState* window : desktop.All()) {
      if (window->parent == result[i] || window->owner == result[i]) result.push_back(window->handle);
    }
  }
  std::reverse(result.begin(), result.end());
  return result;
}

WindowState NewWindow(const DialogTemplate& dialogTemplate) {
  WindowState window;
  window.templateId = dialogTemplate.id;
  window.title = std::wstring(dialogTemplate.caption);
  window.style = dialogTemplate.style;
  window.exStyle = dialogTemplate.exStyle;
  window.font = {std::wstring(dialogTemplate.fontName), -(dialogTemplate.fontPoints * 96 + 36) / 72, 400};
  const BaseUnits base = BaseUnitsOf(dialogTemplate);
  window.rect = ToPixels(dialogTemplate.rect, base);
  for (const ControlTemplate& control : dialogTemplate.controls) {
    headless::ControlState state;
    state.id = control.id;
    state.kind = control.kind;
    state.text = std::wstring(control.text);
    state.style = control.style;
    state.rect = ToPixels(control.rect, base);
    state.font = window.font;
    window.controls.push_back(std::move(state));
  }
  if (dialogTemplate.style & kWsSysMenu) {
    window.hasSystemMenu = true;
    window.systemMenu = {{kScMove, L"&Move", false}};
    if (dialogTemplate.style & kWsMinimizeBox) window.systemMenu.push_back({kScMinimize, L"Mi&nimize", false});
    window.systemMenu.push_back({0, L"", true});
    window.systemMenu.push_back({kScClose, L"&Close\tAlt+F4", false});
  }
  return window;
}

// Disables a window for the life of a modal loop it owns, as Windows does.
class OwnerDisabled {
 public:
  explicit OwnerDisabled(WindowHandle owner) : owner(owner) {
    std::lock_guard lock(Desktop::Instance().Mutex());
    if (WindowState* window = Desktop::Instance().Find(owner); window && window->IsEnabled()) {
      window->style |= kWsDisabled;
      disabled = true;
    }
  }
  ~OwnerDisabled() {
    std::lock_guard lock(Desktop::Instance().Mutex());
    if (WindowState* window = Desktop::Instance().Find(owner); window && disabled) window->style &= ~kWsDisabled;
  }
  OwnerDisabled(const OwnerDisabled&) = delete;
  OwnerDisabled& operator=(const OwnerDisabled&) = delete;

 private:
  WindowHandle owner;
  bool disabled = false;
};

}  // namespace

WindowState* Dialog::Native::Window() const { return Desktop::Instance().Find(handle); }

void Dialog::Native::HandleMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  switch (message) {
    case headless::kWmTimer: dialog.OnTimer(wParam); return;
    case headless::kWmCommand: dialog.OnCommand(static_cast<int>(wParam & 0xFFFF), static_cast<int>(wParam >> 16)); return;
    case headless::kWmClose: dialog.OnClose(); return;
    case headless::kWmSysCommand: SysCommand(static_cast<std::uint32_t>(wParam)); return;
    default: break;
  }
  if (message >= kWmUser) {
    std::intptr_t ignored = 0;
    dialog.OnMessage(message, wParam, lParam, ignored);
  }
}

void Dialog::Native::SysCommand(std::uint32_t command) {
  if (dialog.OnSysCommand(command)) return;
  // The default handling of the commands the framework's windows offer.
  switch (command & 0xFFF0) {
    case kScClose: dialog.OnClose(); break;
    case kScMinimize: dialog.ModifyStyle(0, kWsMinimize); break;
    case kScRestore: dialog.ModifyStyle(kWsMinimize, 0); break;
    default: break;
  }
}

Dialog::Dialog(int templateId) : templateId(templateId), native(std::make_unique<Native>(*this)) {}

Dialog::~Dialog() { DestroyWindow(); }

bool Dialog::Create(Dialog* parent) {
  const DialogTemplate* dialogTemplate = FindDialogTemplate(templateId);
  if (!dialogTemplate || HasWindow() || (parent && !parent->HasWindow())) return false;
  {
    auto& desktop = Desktop::Instance();
    std::lock_guard lock(desktop.Mutex());
    WindowState window = NewWindow(*dialogTemplate);
    window.parent = parent ? parent->native->handle : 0;
    window.handler = native.get();
    native->handle = desktop.Add(std::move(window)).handle;
  }
  OnInitDialog();
  return true;
}

int Dialog::DoModal(Dialog* owner) {
  const DialogTemplate* dialogTemplate = FindDialogTemplate(templateId);
  if (!dialogTemplate || HasWindow()) return -1;
  const WindowHandle ownerHandle = owner ? owner->native->handle : 0;
  std::shared_ptr<headless::MessageQueue> queue;
  {
    auto& desktop = Desktop::Instance();
    std::lock_guard lock(desktop.Mutex());
    WindowState window = NewWindow(*dialogTemplate);
    window.style &= ~(kWsChild | kWsVisible);
    window.owner = ownerHandle;
    window.handler = native.get();
    WindowState& added = desktop.Add(std::move(window));
    native->handle = added.handle;
    queue = added.queue;
  }
  native->modal = true;
  native->ended = false;
  {
    OwnerDisabled ownerDisabled(ownerHandle);
    if (OnInitDialog() && !native->ended) SetFocus();
    // A dialog ended while it initialised is never shown.
    if (!native->ended) Show(true);
    queue->RunUntil([this] { return native->ended; });
  }
  DestroyWindow();
  native->modal = false;
  return native->result;
}

void Dialog::EndDialog(int result) {
  native->result = result;
  native->ended = true;
}

void Dialog::DestroyWindow() {
  auto& desktop = Desktop::Instance();
  std::vector<std::pair<WindowHandle, std::shared_ptr<headless::MessageQueue>>> removed;
  {
    std::lock_guard lock(desktop.Mutex());
    if (!native->Window()) return;
    for (WindowHandle handle : WindowAndDescendants(desktop, native->handle)) {
      removed.emplace_back(handle, desktop.Find(handle)->queue);
      desktop.Remove(handle);
    }
  }
  for (const auto& [handle, queue] : removed) queue->KillTimers(handle);
}

bool Dialog::HasWindow() const {
  std::lock_guard lock(Desktop::Instance().Mutex());
  return native->Window() != nullptr;
}

bool Dialog::IsModal() const { return native->modal; }

WindowHandle Dialog::Handle() const { return HasWindow() ? native->handle : 0; }

namespace {

template <typename Action>
void WithWindow(const Dialog::Native& native, Action action) {
  std::lock_guard lock(Desktop::Instance().Mutex());
  if (WindowState* window = native.Window()) action(*window);
}

}  // namespace

void Dialog::SetTitle(const std::wstring& title) {
  WithWindow(*native, [&](WindowState& window) { window.title = title; });
}

std::wstring Dialog::Title() const {
  std::wstring title;
  WithWindow(*native, [&](WindowState& window) { title = window.title; });
  return title;
}

void Dialog::Show(bool visible) {
  WithWindow(*native, [&](WindowState& window) {
    window.style = visible ? (window.style | kWsVisible) : (window.style & ~kWsVisible);
  });
}

bool Dialog::IsVisible() const {
  bool visible = false;
  WithWindow(*native, [&](WindowState& window) { visible = window.IsVisible(); });
  return visible;
}

bool Dialog::IsMinimized() const { return (Style() & kWsMinimize) != 0; }

void Dialog::SetFocus() {
  WithWindow(*native, [&](WindowState& window) {
    for (WindowState* other : Desktop::Instance().All()) {
      if (other->parent == window.parent) other->focus = 0;
    }
    // A dialog that takes the focus hands it to its first control that can have it.
    const auto first = std::ranges::find_if(window.controls, [](const headless::ControlState& control) {
      return (control.style & kWsTabStop) && (control.style & kWsVisible) && !(control.style & kWsDisabled);
    });
    window.focus = first == window.controls.end() ? 0 : first->id;
  });
}

void Dialog::MoveTo(const Rect& rect) {
  WithWindow(*native, [&](WindowState& window) { window.rect = rect; });
}

Rect Dialog::ClientRect() const {
  Rect rect;
  WithWindow(*native, [&](WindowState& window) { rect = {0, 0, window.rect.Width(), window.rect.Height()}; });
  return rect;
}

std::uint32_t Dialog::Style() const {
  std::uint32_t style = 0;
  WithWindow(*native, [&](WindowState& window) { style = window.style; });
  return style;
}

void Dialog::ModifyStyle(std::uint32_t remove, std::uint32_t add) {
  WithWindow(*native, [&](WindowState& window) { window.style = (window.style & ~remove) | add; });
}

void Dialog::SetBackgroundColor(Color color) {
  backgroundColor = color;
  WithWindow(*native, [&](WindowState& window) { window.background = color; });
}

void Dialog::SetIcon(int iconResourceId) {
  WithWindow(*native, [&](WindowState& window) { window.iconId = iconResourceId; });
}

void Dialog::SetDefaultButton(int controlId) {
  WithWindow(*native, [&](WindowState& window) { window.defaultButton = controlId; });
}

int Dialog::ShowMessageBox(const std::wstring& text, const std::wstring& caption, std::uint32_t style) {
  auto& desktop = Desktop::Instance();
  WindowHandle box = 0;
  std::shared_ptr<headless::MessageQueue> queue;
  {
    std::lock_guard lock(desktop.Mutex());
    WindowState window;
    window.isMessageBox = true;
    window.owner = native->Window() ? native->handle : 0;
    window.text = text;
    window.title = caption;
    window.style = kWsPopup | kWsVisible | kWsCaption | style;
    WindowState& added = desktop.Add(std::move(window));
    box = added.handle;
    queue = added.queue;
  }
  std::optional<int> answer;
  {
    OwnerDisabled ownerDisabled(native->handle);
    queue->RunUntil([&] {
      std::lock_guard lock(desktop.Mutex());
      WindowState* window = desktop.Find(box);
      if (window && window->answer) answer = window->answer;
      // A box whose owner went away closes as if cancelled.
      return answer.has_value() || !window;
    });
  }
  std::lock_guard lock(desktop.Mutex());
  desktop.Remove(box);
  return answer.value_or(kIdCancelCommand);
}

void Dialog::SetTimer(std::uintptr_t id, unsigned periodMilliseconds) {
  std::shared_ptr<headless::MessageQueue> queue;
  WithWindow(*native, [&](WindowState& window) { queue = window.queue; });
  if (queue) queue->SetTimer(native->handle, id, periodMilliseconds);
}

void Dialog::KillTimer(std::uintptr_t id) {
  std::shared_ptr<headless::MessageQueue> queue;
  WithWindow(*native, [&](WindowState& window) { queue = window.queue; });
  if (queue) queue->KillTimer(native->handle, id);
}

std::wstring LoadResourceString(int id) {
  const auto& strings = StringResources();
  const auto found = std::ranges::find(strings, id, &StringResource::id);
  return found == strings.end() ? std::wstring() : std::wstring(found->text);
}

}  // namespace ui
