// A program that imports winhttp.dll the usual way, before any of its code
// runs, and calls nothing from it: beside a planted winhttp.dll it loads
// that one, which shows that the end-to-end test's trap works.
#include <windows.h>
#include <winhttp.h>

int main(int argc, char**) {
  // Never true when run by the test; keeps the import.
  if (argc > 100) return ::WinHttpCheckPlatform() ? 1 : 0;
  return 0;
}
