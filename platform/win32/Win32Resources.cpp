#include "platform/win32/Win32Resources.h"

#include <windows.h>

namespace platform::win32 {

ResourceData Win32Resources::Read(int id, const std::wstring& type) {
  // Resources of the executable (module handle NULL); a loaded resource is
  // never freed, so the bytes stay valid for the life of the process.
  HRSRC resource = ::FindResourceW(nullptr, MAKEINTRESOURCEW(id), type.c_str());
  if (!resource) return {.status = ResourceStatus::NotFound, .error = ::GetLastError(), .bytes = {}};
  const DWORD size = ::SizeofResource(nullptr, resource);
  if (size == 0) return {.status = ResourceStatus::Found, .error = kErrorSuccess, .bytes = {}};
  HGLOBAL loaded = ::LoadResource(nullptr, resource);
  if (!loaded) return {.status = ResourceStatus::LoadFailed, .error = ::GetLastError(), .bytes = {}};
  const void* bytes = ::LockResource(loaded);
  if (!bytes) return {.status = ResourceStatus::LoadFailed, .error = ::GetLastError(), .bytes = {}};
  return {.status = ResourceStatus::Found,
          .error = kErrorSuccess,
          .bytes = {static_cast<const std::uint8_t*>(bytes), size}};
}

}  // namespace platform::win32
