#include <windows.h>

#include "ui/PostedMessages.h"

namespace ui {

bool PostWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  return ::PostMessageW(reinterpret_cast<HWND>(window), message, wParam, lParam) != FALSE;
}

}  // namespace ui
