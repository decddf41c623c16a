#include <windows.h>
#include <commctrl.h>

#include <string>

#include "ui/Startup.h"
#include "ui/win32/GdiplusImage.h"

namespace ui {

struct Startup::Native {
  HMODULE richEdit = nullptr;
  ULONG_PTR gdiplusToken = 0;
  bool gdiplusRunning = false;
};

Startup::Startup() : native(std::make_unique<Native>()) {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), 0xFF};
  ::InitCommonControlsEx(&controls);
  // SysLink lies outside the first eight classes; register it as well.
  INITCOMMONCONTROLSEX link{sizeof(INITCOMMONCONTROLSEX), ICC_LINK_CLASS};
  ::InitCommonControlsEx(&link);
  // Loaded by its full path in the system folder, never from beside the
  // program (the Downloads folder, where anyone may have put a DLL of that
  // name): LOAD_LIBRARY_SEARCH_SYSTEM32 needs an update Windows 7 may lack,
  // and a plain name would be searched for in the program's folder first.
  wchar_t systemFolder[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(systemFolder, MAX_PATH);
  if (length > 0 && length < MAX_PATH)
    native->richEdit = ::LoadLibraryW((std::wstring(systemFolder, length) + L"\\riched20.dll").c_str());
  Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, background thread, codecs
  native->gdiplusRunning = Gdiplus::GdiplusStartup(&native->gdiplusToken, &input, nullptr) == Gdiplus::Ok;
}

Startup::~Startup() {
  if (native->gdiplusRunning) Gdiplus::GdiplusShutdown(native->gdiplusToken);
  if (native->richEdit) ::FreeLibrary(native->richEdit);
}

bool Startup::RichEditLoaded() const { return native->richEdit != nullptr; }

}  // namespace ui
