// The window menu of a top-level dialog (the menu of the title bar icon).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ui {

class Dialog;

struct SystemMenuItem {
  std::uint32_t command = 0;  // 0 for a separator
  std::wstring text;
  bool separator = false;
  bool operator==(const SystemMenuItem&) const = default;
};

class SystemMenu {
 public:
  explicit SystemMenu(Dialog* dialog) : dialog(dialog) {}

  // False for a window without a system menu.
  bool Exists() const;
  void AppendSeparator();
  void AppendItem(std::uint32_t command, const std::wstring& text);
  // Removes the item with this command (the first one, as RemoveMenu does);
  // without a Close item the window's close box is disabled.
  void RemoveCommand(std::uint32_t command);
  std::vector<SystemMenuItem> Items() const;

 private:
  Dialog* dialog;
};

}  // namespace ui
