// Drives the real wizard from outside, as a user would, for the end-to-end
// tests: a console program in the wizard's Wine prefix that reads one
// command a line on standard input and answers each with one line of JSON.
//
//   find <timeout-ms>               the wizard window (the dialog with the page area)
//   dump                            the host, its controls and the visible pages' controls
//   click <id>                      presses the button with this id on the visible page or the host
//   select <id> <index>             picks a list item and notifies the page
//   close                           the close box (WM_SYSCOMMAND SC_CLOSE)
//   syscommand <command>            an item of the window menu
//   dialogs                         the other top-level dialogs of the wizard (message boxes, About)
//   answer <button-id>              presses a button of the most recent of those
//   screenshot <window|box> <file>  saves a PNG of the wizard window or of the most recent box
//   exit-code <timeout-ms>          waits for the wizard process to end and gives its exit code
//   start-timed <id> <timeout-ms> <program>
//                                   starts a program, answers the milliseconds until a window of it
//                                   shows a visible control with this id, then ends the program
#include <windows.h>
#include <commctrl.h>
#include <objidl.h>

#include <algorithm>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include <nlohmann/json.hpp>

#include "util/Utf8.h"

namespace {

using nlohmann::json;

constexpr int kPageArea = 1014;

std::string ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return WideToUtf8(name);
}

std::string TextOf(HWND window) {
  // WM_GETTEXT is carried across processes.
  const auto length = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const auto copied = ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(copied));
  return WideToUtf8(text);
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

json RectOf(HWND window) {
  RECT rect;
  ::GetWindowRect(window, &rect);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

json ControlJson(HWND control) {
  const std::string className = ClassOf(control);
  const LONG style = ::GetWindowLongW(control, GWL_STYLE);
  json result = {{"id", ::GetDlgCtrlID(control)},
                 {"class", className},
                 {"text", TextOf(control)},
                 {"visible", (style & WS_VISIBLE) != 0},
                 {"enabled", ::IsWindowEnabled(control) != FALSE},
                 {"style", style},
                 {"rect", RectOf(control)}};
  if (_wcsicmp(Utf8ToWide(className).c_str(), L"Button") == 0) {
    result["checked"] = ::SendMessageW(control, BM_GETCHECK, 0, 0);
  } else if (_wcsicmp(Utf8ToWide(className).c_str(), L"ComboBox") == 0) {
    json items = json::array();
    const auto count = ::SendMessageW(control, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      const auto length = ::SendMessageW(control, CB_GETLBTEXTLEN, i, 0);
      std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
      const auto copied = ::SendMessageW(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
      text.resize(static_cast<std::size_t>(std::max<LRESULT>(copied, 0)));
      items.push_back(WideToUtf8(text));
    }
    result["items"] = items;
    result["selection"] = ::SendMessageW(control, CB_GETCURSEL, 0, 0);
  } else if (className == "msctls_progress32") {
    result["progress"] = {{"position", ::SendMessageW(control, PBM_GETPOS, 0, 0)},
                          {"minimum", ::SendMessageW(control, PBM_GETRANGE, TRUE, 0)},
                          {"maximum", ::SendMessageW(control, PBM_GETRANGE, FALSE, 0)},
                          {"marquee", (style & PBS_MARQUEE) != 0}};
  }
  return result;
}

DWORD ProcessOf(HWND window) {
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  return process;
}

bool IsDialogWindow(HWND window) { return ClassOf(window) == "#32770"; }

BOOL CALLBACK FindWizardWindow(HWND window, LPARAM result) {
  if (IsDialogWindow(window) && ::GetDlgItem(window, kPageArea)) {
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
  }
  return TRUE;
}

// The wizard: a top-level dialog with the page area among its controls.
HWND FindWizard() {
  HWND found = nullptr;
  ::EnumWindows(&FindWizardWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

// The top-level dialogs beside the wizard window (message boxes, the About
// box, also those of a second copy of the wizard), topmost first.
struct DialogSearch {
  HWND wizard;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectOtherDialog(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<DialogSearch*>(data);
  if (window != search.wizard && IsDialogWindow(window) && ::IsWindowVisible(window)) search.found.push_back(window);
  return TRUE;
}

std::vector<HWND> OtherDialogs(HWND wizard) {
  DialogSearch search{wizard, {}};
  ::EnumWindows(&CollectOtherDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> VisiblePages(HWND wizard) {
  std::vector<HWND> pages;
  for (HWND child : Children(wizard)) {
    if (IsDialogWindow(child) && ::IsWindowVisible(child)) pages.push_back(child);
  }
  return pages;
}

// A control by id: on a visible page first, then on the host.
HWND FindControl(HWND wizard, int id) {
  for (HWND page : VisiblePages(wizard)) {
    if (HWND control = ::GetDlgItem(page, id)) return control;
  }
  return ::GetDlgItem(wizard, id);
}

json DialogJson(HWND dialog) {
  json controls = json::array();
  for (HWND child : Children(dialog)) {
    if (!IsDialogWindow(child)) controls.push_back(ControlJson(child));
  }
  return {{"handle", reinterpret_cast<std::uintptr_t>(dialog)},
          {"title", TextOf(dialog)},
          {"visible", ::IsWindowVisible(dialog) != FALSE},
          {"enabled", ::IsWindowEnabled(dialog) != FALSE},
          {"style", ::GetWindowLongW(dialog, GWL_STYLE)},
          {"rect", RectOf(dialog)},
          {"controls", controls}};
}

int EncoderOf(const wchar_t* mimeType, CLSID& encoder) {
  UINT count = 0, size = 0;
  Gdiplus::GetImageEncodersSize(&count, &size);
  if (size == 0) return -1;
  std::vector<BYTE> buffer(size);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  Gdiplus::GetImageEncoders(count, size, encoders);
  for (UINT i = 0; i < count; ++i) {
    if (wcscmp(encoders[i].MimeType, mimeType) == 0) {
      encoder = encoders[i].Clsid;
      return static_cast<int>(i);
    }
  }
  return -1;
}

// Copies the window's rectangle from the screen, so what is saved is what
// the user sees, frame and overlapping boxes included.
bool SaveScreenshot(HWND window, const std::wstring& path) {
  // Let the wizard's thread handle what is queued (painting comes last),
  // then give the X server a moment to show it.
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  ::Sleep(500);
  RECT rect;
  ::GetWindowRect(window, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  ::SelectObject(memory, previous);
  bool saved = false;
  {
    Gdiplus::Bitmap image(bitmap, nullptr);
    CLSID png;
    saved = EncoderOf(L"image/png", png) >= 0 && image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
  }
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return saved;
}

json Error(const std::string& message) { return {{"ok", false}, {"error", message}}; }

struct ShownControlSearch {
  DWORD process;
  int id;
  bool found = false;
};

BOOL CALLBACK FindShownControlBelow(HWND child, LPARAM data) {
  auto& search = *reinterpret_cast<ShownControlSearch*>(data);
  // IsWindowVisible is true only when every ancestor is visible too.
  search.found = ::GetDlgCtrlID(child) == search.id && ::IsWindowVisible(child);
  return !search.found;
}

BOOL CALLBACK FindShownControl(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<ShownControlSearch*>(data);
  if (ProcessOf(window) == search.process && ::IsWindowVisible(window))
    ::EnumChildWindows(window, &FindShownControlBelow, data);
  return !search.found;
}

// Start-up time as the user sees it: from CreateProcess to the control on
// the screen, polled every millisecond.
json StartTimed(int id, int timeout, const std::wstring& program) {
  LARGE_INTEGER frequency, start, now;
  ::QueryPerformanceFrequency(&frequency);
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  ::QueryPerformanceCounter(&start);
  if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started))
    return Error("cannot start the program");
  ShownControlSearch search{started.dwProcessId, id};
  double milliseconds = 0;
  do {
    ::EnumWindows(&FindShownControl, reinterpret_cast<LPARAM>(&search));
    ::QueryPerformanceCounter(&now);
    milliseconds = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    if (!search.found) ::Sleep(1);
  } while (!search.found && milliseconds < timeout);
  ::TerminateProcess(started.hProcess, 0);
  ::WaitForSingleObject(started.hProcess, INFINITE);
  ::CloseHandle(started.hThread);
  ::CloseHandle(started.hProcess);
  if (!search.found) return Error("the control was not shown");
  return {{"ok", true}, {"milliseconds", milliseconds}};
}

json Run(const std::string& line, HWND& wizard) {
  std::istringstream words(line);
  std::string command;
  words >> command;
  if (command == "find") {
    int timeout = 10000;
    words >> timeout;
    for (int waited = 0; waited <= timeout; waited += 50) {
      wizard = FindWizard();
      if (wizard && ::IsWindowVisible(wizard)) return {{"ok", true}, {"handle", reinterpret_cast<std::uintptr_t>(wizard)}};
      ::Sleep(50);
    }
    return Error("no wizard window");
  }
  if (command == "dialogs") {
    json dialogs = json::array();
    for (HWND dialog : OtherDialogs(wizard)) dialogs.push_back(DialogJson(dialog));
    return {{"ok", true}, {"dialogs", dialogs}};
  }
  if (command == "exit-code") {
    int timeout = 10000;
    words >> timeout;
    HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, ProcessOf(wizard));
    if (!process) return Error("no process");
    DWORD code = 0;
    const bool ended = ::WaitForSingleObject(process, static_cast<DWORD>(timeout)) == WAIT_OBJECT_0 &&
                       ::GetExitCodeProcess(process, &code);
    ::CloseHandle(process);
    return ended ? json{{"ok", true}, {"exitCode", code}} : Error("still running");
  }
  if (command == "start-timed") {
    int id = 0, timeout = 30000;
    std::string program;
    words >> id >> timeout;
    std::getline(words >> std::ws, program);
    return StartTimed(id, timeout, Utf8ToWide(program));
  }
  if (!wizard || !::IsWindow(wizard)) return Error("wizard window is gone");
  if (command == "dump") {
    json pages = json::array();
    for (HWND page : VisiblePages(wizard)) pages.push_back(DialogJson(page));
    json host = DialogJson(wizard);
    return {{"ok", true}, {"host", host}, {"pages", pages}};
  }
  if (command == "click") {
    int id = 0;
    words >> id;
    HWND control = FindControl(wizard, id);
    if (!control) return Error("no control " + std::to_string(id));
    ::PostMessageW(control, BM_CLICK, 0, 0);
    return {{"ok", true}};
  }
  if (command == "select") {
    int id = 0, index = 0;
    words >> id >> index;
    HWND control = FindControl(wizard, id);
    if (!control) return Error("no control " + std::to_string(id));
    if (::SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0) == CB_ERR) return Error("no item");
    ::PostMessageW(::GetParent(control), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(control));
    return {{"ok", true}};
  }
  if (command == "close") {
    ::PostMessageW(wizard, WM_SYSCOMMAND, SC_CLOSE, 0);
    return {{"ok", true}};
  }
  if (command == "syscommand") {
    unsigned value = 0;
    words >> value;
    ::PostMessageW(wizard, WM_SYSCOMMAND, value, 0);
    return {{"ok", true}};
  }
  if (command == "answer") {
    int id = 0;
    words >> id;
    const auto dialogs = OtherDialogs(wizard);
    if (dialogs.empty()) return Error("no open dialog");
    HWND button = ::GetDlgItem(dialogs.front(), id);
    if (!button) return Error("no button " + std::to_string(id));
    ::PostMessageW(button, BM_CLICK, 0, 0);
    return {{"ok", true}};
  }
  if (command == "screenshot") {
    std::string which, path;
    words >> which;
    std::getline(words >> std::ws, path);
    HWND target = wizard;
    if (which == "box") {
      const auto dialogs = OtherDialogs(wizard);
      if (dialogs.empty()) return Error("no open dialog");
      target = dialogs.front();
    }
    return SaveScreenshot(target, Utf8ToWide(path)) ? json{{"ok", true}} : Error("screenshot failed");
  }
  return Error("unknown command: " + command);
}

}  // namespace

int wmain() {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  HWND wizard = nullptr;
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line == "quit") break;
    std::cout << Run(line, wizard).dump() << std::endl;
  }
  Gdiplus::GdiplusShutdown(token);
  return 0;
}
