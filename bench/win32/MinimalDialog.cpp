// The baseline of the start-up benchmark: the least a Win32 program does to
// show a dialog (a language list, id 1000, and a Next button), built as the
// wizard is. Run by scripts/bench.
#include <windows.h>

namespace {

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    ::EndDialog(dialog, 0);
    return TRUE;
  }
  return message == WM_INITDIALOG;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  return static_cast<int>(::DialogBoxParamW(instance, MAKEINTRESOURCEW(1), nullptr, &Procedure, 0));
}
