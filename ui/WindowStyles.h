// Window, control and dialog style bits, system commands and notification
// codes with their Win32 values. Core code cannot include <windows.h>, and
// the names differ from the Win32 macros so both can meet in a backend.
#pragma once

#include <cstdint>

namespace ui {

// Window styles (WS_*).
inline constexpr std::uint32_t kWsPopup = 0x80000000;
inline constexpr std::uint32_t kWsChild = 0x40000000;
inline constexpr std::uint32_t kWsMinimize = 0x20000000;
inline constexpr std::uint32_t kWsClipSiblings = 0x04000000;
inline constexpr std::uint32_t kWsVisible = 0x10000000;
inline constexpr std::uint32_t kWsDisabled = 0x08000000;
inline constexpr std::uint32_t kWsCaption = 0x00C00000;
inline constexpr std::uint32_t kWsBorder = 0x00800000;
inline constexpr std::uint32_t kWsVScroll = 0x00200000;
inline constexpr std::uint32_t kWsSysMenu = 0x00080000;
inline constexpr std::uint32_t kWsGroup = 0x00020000;
inline constexpr std::uint32_t kWsTabStop = 0x00010000;
inline constexpr std::uint32_t kWsMinimizeBox = 0x00020000;

// Extended window styles (WS_EX_*).
inline constexpr std::uint32_t kWsExTransparent = 0x00000020;
inline constexpr std::uint32_t kWsExControlParent = 0x00010000;
inline constexpr std::uint32_t kWsExAppWindow = 0x00040000;

// Dialog styles (DS_*).
inline constexpr std::uint32_t kDsSetFont = 0x0040;
inline constexpr std::uint32_t kDsModalFrame = 0x0080;
inline constexpr std::uint32_t kDsControl = 0x0400;
inline constexpr std::uint32_t kDsCenter = 0x0800;

// Static control styles (SS_*).
inline constexpr std::uint32_t kSsLeft = 0x0000;
inline constexpr std::uint32_t kSsCenter = 0x0001;
inline constexpr std::uint32_t kSsIcon = 0x0003;
inline constexpr std::uint32_t kSsGrayRect = 0x0005;
inline constexpr std::uint32_t kSsBitmap = 0x000E;
inline constexpr std::uint32_t kSsEtchedFrame = 0x0012;
inline constexpr std::uint32_t kSsNoPrefix = 0x0080;
inline constexpr std::uint32_t kSsNotify = 0x0100;
inline constexpr std::uint32_t kSsCenterImage = 0x0200;

// Button styles (BS_*).
inline constexpr std::uint32_t kBsPushButton = 0x0000;
inline constexpr std::uint32_t kBsDefPushButton = 0x0001;
inline constexpr std::uint32_t kBsAutoCheckBox = 0x0003;
inline constexpr std::uint32_t kBsAutoRadioButton = 0x0009;
inline constexpr std::uint32_t kBsVCenter = 0x0C00;
inline constexpr std::uint32_t kBsMultiLine = 0x2000;

// Combo box styles (CBS_*).
inline constexpr std::uint32_t kCbsDropDownList = 0x0003;

// Progress bar styles (PBS_*).
inline constexpr std::uint32_t kPbsSmooth = 0x01;
inline constexpr std::uint32_t kPbsMarquee = 0x08;

// Edit styles used by the rich edit control (ES_*).
inline constexpr std::uint32_t kEsMultiLine = 0x0004;
inline constexpr std::uint32_t kEsAutoVScroll = 0x0040;
inline constexpr std::uint32_t kEsReadOnly = 0x0800;

// System commands (SC_*) and the program's own About command.
inline constexpr std::uint32_t kScSize = 0xF000;
inline constexpr std::uint32_t kScMove = 0xF010;
inline constexpr std::uint32_t kScMinimize = 0xF020;
inline constexpr std::uint32_t kScMaximize = 0xF030;
inline constexpr std::uint32_t kScClose = 0xF060;
inline constexpr std::uint32_t kScRestore = 0xF120;

// Notification codes of WM_COMMAND (BN_*, CBN_*).
inline constexpr int kBnClicked = 0;
inline constexpr int kCbnSelChange = 1;

// Dialog command ids (IDOK, IDCANCEL).
inline constexpr int kIdOkCommand = 1;
inline constexpr int kIdCancelCommand = 2;

// Check states (BST_*).
inline constexpr int kBstUnchecked = 0;
inline constexpr int kBstChecked = 1;

// CB_ERR: no selection.
inline constexpr int kNoSelection = -1;

}  // namespace ui
