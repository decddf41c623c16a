#include "platform/win32/Win32Environment.h"

#include <windows.h>

#include <vector>

namespace platform::win32 {

std::optional<std::wstring> Win32Environment::Variable(const std::wstring& name) {
  std::vector<wchar_t> buffer(256);
  for (;;) {
    ::SetLastError(ERROR_SUCCESS);
    const DWORD length = ::GetEnvironmentVariableW(name.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::wstring();
    }
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(length);  // the length asked for includes the NUL
  }
}

std::wstring Win32Environment::ExecutablePath() {
  wchar_t buffer[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  return std::wstring(buffer, length < MAX_PATH ? length : MAX_PATH - 1);
}

std::optional<FileVersion> Win32Environment::OwnFileVersion() {
  // VS_VERSION_INFO is resource 1 of type RT_VERSION. VerQueryValueW needs a
  // writable copy of the block, as GetFileVersionInfoW would give.
  HRSRC resource = ::FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16));
  if (!resource) return std::nullopt;
  const DWORD size = ::SizeofResource(nullptr, resource);
  HGLOBAL loaded = ::LoadResource(nullptr, resource);
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  if (!bytes || size == 0) return std::nullopt;
  std::vector<unsigned char> copy(static_cast<const unsigned char*>(bytes),
                                  static_cast<const unsigned char*>(bytes) + size);
  copy.resize(size * 2);  // VerQueryValueW may convert in place

  VS_FIXEDFILEINFO* info = nullptr;
  UINT infoLength = 0;
  if (!::VerQueryValueW(copy.data(), L"\\", reinterpret_cast<void**>(&info), &infoLength) || !info ||
      infoLength < sizeof(VS_FIXEDFILEINFO))
    return std::nullopt;
  return FileVersion{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
                     LOWORD(info->dwFileVersionLS)};
}

}  // namespace platform::win32
