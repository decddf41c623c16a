// Entry point of BrimvaleSetup.exe.
#include <windows.h>

#include "config/ConfigurationManager.h"
#include "shell/CBrimvaleApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  CBrimvaleApp app(platform::ProcessServices(), [] { return GetConfiguration(); });
  app.InitInstance();
  return 0;
}
