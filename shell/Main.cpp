// Entry point of BrimvaleSetup.exe.
#include <windows.h>

#include "config/ConfigurationManager.h"
#include "platform/win32/SystemLibraries.h"
#include "shell/CBrimvaleApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  platform::win32::RestrictLibrarySearchToSystemFolder();
  CBrimvaleApp app(platform::ProcessServices(), [] { return GetConfiguration(); });
  app.InitInstance();
  return 0;
}
