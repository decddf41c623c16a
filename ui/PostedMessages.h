// Messages posted to a window from any thread: the only way workers talk to
// pages and the host. Implemented by each ui backend (PostMessageW on
// Windows, the headless window thread's queue natively).
#pragma once

#include <cstdint>

namespace ui {

// Identifies a window across threads: an HWND on Windows, a headless
// window's id natively. A handle, not an owner; 0 is no window.
using WindowHandle = std::uintptr_t;

inline constexpr std::uint32_t kWmUser = 0x0400;
inline constexpr std::uint32_t WM_DOWNLOAD_PROGRESS = kWmUser + 1;
inline constexpr std::uint32_t WM_DOWNLOAD_SIZE_UNKNOWN = kWmUser + 2;
inline constexpr std::uint32_t WM_WIZARD_LOAD_COMPLETE = kWmUser + 3;
inline constexpr std::uint32_t WM_LOADING_REQUEST_COMPLETE = kWmUser + 4;

// Queues the message for the window's thread; false when the window is gone
// (posting to a destroyed window is harmless).
bool PostWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

}  // namespace ui
