// Entry point of BrimvaleSetup.exe.
#include <windows.h>

#include "config/ConfigurationManager.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The first call builds the process-wide configuration.
  GetConfiguration();
  return 0;
}
