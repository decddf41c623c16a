#include "platform/win32/Win32KnownFolders.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

namespace platform::win32 {
namespace {

std::optional<std::wstring> ShellKnownFolder(const KNOWNFOLDERID& id) {
  PWSTR path = nullptr;
  const HRESULT result = ::SHGetKnownFolderPath(id, 0, nullptr, &path);
  std::optional<std::wstring> folder;
  if (SUCCEEDED(result) && path) folder = path;
  ::CoTaskMemFree(path);  // also after a failure, as the call requires
  return folder;
}

}  // namespace

std::optional<std::wstring> Win32KnownFolders::Path(KnownFolder folder) {
  switch (folder) {
    case KnownFolder::Downloads: return ShellKnownFolder(FOLDERID_Downloads);
    case KnownFolder::LocalAppData: return ShellKnownFolder(FOLDERID_LocalAppData);
    case KnownFolder::RoamingAppData: return ShellKnownFolder(FOLDERID_RoamingAppData);
    case KnownFolder::ProgramData: return ShellKnownFolder(FOLDERID_ProgramData);
    case KnownFolder::ProgramFilesX86: return ShellKnownFolder(FOLDERID_ProgramFilesX86);
    case KnownFolder::Desktop: return ShellKnownFolder(FOLDERID_Desktop);
    case KnownFolder::Documents: {
      wchar_t buffer[MAX_PATH] = {};
      if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, buffer))) return std::nullopt;
      return std::wstring(buffer);
    }
  }
  return std::nullopt;
}

}  // namespace platform::win32
