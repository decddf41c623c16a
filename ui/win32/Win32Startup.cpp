#include <windows.h>
#include <commctrl.h>

#include "platform/win32/SystemLibraries.h"
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
  // From the system folder only, never from beside the program (the
  // Downloads folder, where anyone may have put a DLL of that name).
  native->richEdit = platform::win32::LoadSystemLibrary(L"riched20.dll");
  Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, background thread, codecs
  native->gdiplusRunning = Gdiplus::GdiplusStartup(&native->gdiplusToken, &input, nullptr) == Gdiplus::Ok;
}

Startup::~Startup() {
  if (native->gdiplusRunning) Gdiplus::GdiplusShutdown(native->gdiplusToken);
  if (native->richEdit) ::FreeLibrary(native->richEdit);
}

bool Startup::RichEditLoaded() const { return native->richEdit != nullptr; }

}  // namespace ui
