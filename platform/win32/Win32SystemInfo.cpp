#include "platform/win32/Win32SystemInfo.h"

#include <windows.h>

namespace platform::win32 {

std::int32_t Win32SystemInfo::QueryOsVersion(OsVersion& version) {
  // RtlGetVersion reports the true version, unaffected by the manifest.
  using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  const auto rtlGetVersion =
      ntdll ? reinterpret_cast<RtlGetVersionFunction>(
                  reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")))
            : nullptr;
  if (!rtlGetVersion) return static_cast<std::int32_t>(0xC0000002);  // STATUS_NOT_IMPLEMENTED
  OSVERSIONINFOEXW info = {};
  info.dwOSVersionInfoSize = sizeof info;
  const LONG status = rtlGetVersion(&info);
  if (status == 0) {
    version = {.major = info.dwMajorVersion,
               .minor = info.dwMinorVersion,
               .build = info.dwBuildNumber,
               .servicePackMajor = info.wServicePackMajor};
  }
  return status;
}

bool Win32SystemInfo::VerifyVersionAtLeast(std::uint32_t major, std::uint32_t minor,
                                           std::uint16_t servicePackMajor) {
  OSVERSIONINFOEXW info = {};
  info.dwOSVersionInfoSize = sizeof info;
  info.dwMajorVersion = major;
  info.dwMinorVersion = minor;
  info.wServicePackMajor = servicePackMajor;
  ULONGLONG mask = 0;
  mask = ::VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
  mask = ::VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
  mask = ::VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
  return ::VerifyVersionInfoW(&info, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, mask) != FALSE;
}

std::optional<bool> Win32SystemInfo::IsWow64() {
  BOOL wow64 = FALSE;
  if (!::IsWow64Process(::GetCurrentProcess(), &wow64)) return std::nullopt;
  return wow64 != FALSE;
}

}  // namespace platform::win32
