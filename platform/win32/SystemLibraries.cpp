#include "platform/win32/SystemLibraries.h"

#include <windows.h>

#include <string>

namespace platform::win32 {

void RestrictLibrarySearchToSystemFolder() {
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (setDefaultDllDirectories && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;

  // Windows 7 without the update that brings the call: take the current
  // folder out of the search, and load the delay-loaded libraries now by
  // their full paths, so that the later loads by name find them loaded.
  ::SetDllDirectoryW(L"");
  for (const wchar_t* name : {BRIMVALE_DELAY_LOADED_DLLS}) LoadSystemLibrary(name);
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, length) + L"\\" + name;
  return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace platform::win32
