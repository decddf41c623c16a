// Where the wizard's DLLs may come from. It runs elevated from the user's
// Downloads folder, where anybody may have left a DLL named like a system
// one; the libraries that are not the system's known DLLs are delay-loaded
// (cmake/DelayLoad.cmake) and only ever come from the system folder.
#pragma once

#include <windows.h>

namespace platform::win32 {

// Call first thing at start-up, before any delay-loaded library is used.
void RestrictLibrarySearchToSystemFolder();

// Loads a library by its full path in the system folder, whatever the
// search order; null when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name);

}  // namespace platform::win32
