// Controls, fonts and system menus of headless dialogs: state on the Desktop
// that tests read back through the Driver.
#include <algorithm>

#include "ui/Control.h"
#include "ui/Font.h"
#include "ui/SystemMenu.h"
#include "ui/WindowStyles.h"
#include "ui/headless/HeadlessDialog.h"

namespace ui {
namespace {

using headless::ControlState;
using headless::Desktop;
using headless::WindowState;

// Runs action on the control's state under the Desktop's lock; returns
// fallback when the control does not exist.
template <typename Result, typename Action>
Result WithControl(const Control& control, Result fallback, Action action) {
  if (!control.Owner()) return fallback;
  std::lock_guard lock(Desktop::Instance().Mutex());
  WindowState* window = control.Owner()->GetNative()->Window();
  ControlState* state = window ? window->FindControl(control.Id()) : nullptr;
  if (!state) return fallback;
  return action(*state, *window);
}

template <typename Action>
void UpdateControl(const Control& control, Action action) {
  WithControl(control, 0, [&](ControlState& state, WindowState& window) {
    action(state, window);
    return 0;
  });
}

}  // namespace

bool Control::Exists() const {
  return WithControl(*this, false, [](ControlState&, WindowState&) { return true; });
}

void Control::SetText(const std::wstring& text) {
  UpdateControl(*this, [&](ControlState& state, WindowState&) { state.text = text; });
}

std::wstring Control::Text() const {
  return WithControl(*this, std::wstring(), [](ControlState& state, WindowState&) { return state.text; });
}

void Control::Show(bool visible) {
  UpdateControl(*this, [&](ControlState& state, WindowState&) {
    state.style = visible ? (state.style | kWsVisible) : (state.style & ~kWsVisible);
  });
}

bool Control::IsVisible() const {
  return WithControl(*this, false, [](ControlState& state, WindowState&) { return (state.style & kWsVisible) != 0; });
}

void Control::Enable(bool enabled) {
  UpdateControl(*this, [&](ControlState& state, WindowState&) {
    state.style = enabled ? (state.style & ~kWsDisabled) : (state.style | kWsDisabled);
  });
}

bool Control::IsEnabled() const {
  return WithControl(*this, false, [](ControlState& state, WindowState&) { return (state.style & kWsDisabled) == 0; });
}

void Control::SetFocus() {
  UpdateControl(*this, [&](ControlState& state, WindowState& window) { window.focus = state.id; });
}

Rect Control::WindowRect() const {
  return WithControl(*this, Rect{}, [](ControlState& state, WindowState&) { return state.rect; });
}

void Control::MoveTo(const Rect& rect) {
  UpdateControl(*this, [&](ControlState& state, WindowState&) { state.rect = rect; });
}

std::uint32_t Control::Style() const {
  return WithControl(*this, std::uint32_t{0}, [](ControlState& state, WindowState&) { return state.style; });
}

void Control::ModifyStyle(std::uint32_t remove, std::uint32_t add) {
  UpdateControl(*this, [&](ControlState& state, WindowState&) { state.style = (state.style & ~remove) | add; });
}

void Control::SetCheck(int checkState) {
  UpdateControl(*this, [&](ControlState& state, WindowState&) { state.check = checkState; });
}

int Control::Check() const {
  return WithControl(*this, 0, [](ControlState& state, WindowState&) { return state.check; });
}

void Control::ResetContent() {
  UpdateControl(*this, [](ControlState& state, WindowState&) {
    state.items.clear();
    state.selection = kNoSelection;
  });
}

int Control::AddItem(const std::wstring& text) {
  return WithControl(*this, kNoSelection, [&](ControlState& state, WindowState&) {
    state.items.push_back(text);
    return static_cast<int>(state.items.size()) - 1;
  });
}

int Control::ItemCount() const {
  return WithControl(*this, 0, [](ControlState& state, WindowState&) { return static_cast<int>(state.items.size()); });
}

std::wstring Control::ItemText(int index) const {
  return WithControl(*this, std::wstring(), [&](ControlState& state, WindowState&) {
    return index >= 0 && index < static_cast<int>(state.items.size()) ? state.items[index] : std::wstring();
  });
}

void Control::SetSelection(int index) {
  UpdateControl(*this, [&](ControlState& state, WindowState&) {
    state.selection = index >= 0 && index < static_cast<int>(state.items.size()) ? index : kNoSelection;
  });
}

int Control::Selection() const {
  return WithControl(*this, kNoSelection, [](ControlState& state, WindowState&) { return state.selection; });
}

void Control::SetRange(int minimum, int maximum) {
  UpdateControl(*this, [&](ControlState& state, WindowState&) {
    state.progress.minimum = minimum;
    state.progress.maximum = maximum;
    state.progress.position = std::clamp(state.progress.position, minimum, std::max(minimum, maximum));
  });
}

void Control::SetPosition(int position) {
  UpdateControl(*this, [&](ControlState& state, WindowState&) {
    auto& progress = state.progress;
    progress.position = std::clamp(position, progress.minimum, std::max(progress.minimum, progress.maximum));
  });
}

void Control::SetStep(int step) {
  UpdateControl(*this, [&](ControlState& state, WindowState&) { state.progress.step = step; });
}

void Control::StepIt() {
  UpdateControl(*this, [](ControlState& state, WindowState&) {
    auto& progress = state.progress;
    // A progress bar wraps to its minimum when a step passes the maximum.
    progress.position += progress.step;
    if (progress.position > progress.maximum) progress.position = progress.minimum + (progress.position - progress.maximum);
  });
}

void Control::SetMarquee(bool on, unsigned intervalMilliseconds) {
  UpdateControl(*this, [&](ControlState& state, WindowState&) {
    state.progress.marquee = on;
    state.progress.marqueeInterval = on ? intervalMilliseconds : 0;
  });
}

void Control::SetFont(const Font& font) {
  const std::optional<FontSpec> description = font.IsValid() ? std::optional(font.Description()) : std::nullopt;
  UpdateControl(*this, [&](ControlState& state, WindowState&) { state.font = description; });
}

void Control::SetImage(std::shared_ptr<Image> image) {
  UpdateControl(*this, [&](ControlState& state, WindowState&) { state.image = std::move(image); });
}

void Control::SetUrl(const std::wstring& url) {
  UpdateControl(*this, [&](ControlState& state, WindowState&) { state.url = url; });
}

std::wstring Control::Url() const {
  return WithControl(*this, std::wstring(), [](ControlState& state, WindowState&) { return state.url; });
}

void Control::SizeToContent() {
  UpdateControl(*this, [](ControlState& state, WindowState& window) {
    // Average character width and line height of the dialog font.
    const int height = window.font.height < 0 ? -window.font.height : window.font.height;
    const int charWidth = std::max(1, height / 2);
    state.rect.right = state.rect.left + static_cast<int>(state.text.size()) * charWidth;
    state.rect.bottom = state.rect.top + height + 2;
  });
}

void Control::EnableUrlDetection(bool on) {
  UpdateControl(*this, [&](ControlState& state, WindowState&) { state.urlDetection = on; });
}

struct Font::Native {
  FontSpec fontSpec;
};

Font::Font() = default;
Font::~Font() = default;
Font::Font(Font&&) noexcept = default;
Font& Font::operator=(Font&&) noexcept = default;

Font Font::DerivedFrom(const Control& control, int height, int weight) {
  Font font;
  const auto current = WithControl(control, std::optional<FontSpec>(),
                                   [](ControlState& state, WindowState&) { return state.font; });
  if (current) font.native = std::make_unique<Native>(Native{{current->face, height, weight}});
  return font;
}

bool Font::IsValid() const { return native != nullptr; }
FontSpec Font::Description() const { return native ? native->fontSpec : FontSpec{}; }

namespace {

template <typename Result, typename Action>
Result WithMenu(Dialog* dialog, Result fallback, Action action) {
  std::lock_guard lock(Desktop::Instance().Mutex());
  WindowState* window = dialog ? dialog->GetNative()->Window() : nullptr;
  if (!window || !window->hasSystemMenu) return fallback;
  return action(window->systemMenu);
}

}  // namespace

bool SystemMenu::Exists() const {
  return WithMenu(dialog, false, [](auto&) { return true; });
}

void SystemMenu::AppendSeparator() {
  WithMenu(dialog, 0, [](std::vector<SystemMenuItem>& items) {
    items.push_back({0, L"", true});
    return 0;
  });
}

void SystemMenu::AppendItem(std::uint32_t command, const std::wstring& text) {
  WithMenu(dialog, 0, [&](std::vector<SystemMenuItem>& items) {
    items.push_back({command, text, false});
    return 0;
  });
}

void SystemMenu::RemoveCommand(std::uint32_t command) {
  WithMenu(dialog, 0, [&](std::vector<SystemMenuItem>& items) {
    const auto found = std::ranges::find_if(
        items, [&](const SystemMenuItem& item) { return !item.separator && item.command == command; });
    if (found != items.end()) items.erase(found);
    return 0;
  });
}

std::vector<SystemMenuItem> SystemMenu::Items() const {
  return WithMenu(dialog, std::vector<SystemMenuItem>(), [](const std::vector<SystemMenuItem>& items) { return items; });
}

}  // namespace ui
