#include "platform/win32/Win32Machine.h"

#include <windows.h>
#include <tlhelp32.h>

#include "platform/win32/UniqueHandle.h"

namespace platform::win32 {

Win32Error Win32Machine::TotalPhysicalMemory(std::uint64_t& bytes) {
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof status;
  if (!::GlobalMemoryStatusEx(&status)) return ::GetLastError();
  bytes = status.ullTotalPhys;
  return kErrorSuccess;
}

Win32Error Win32Machine::FreeBytesAvailable(const std::wstring& path, std::uint64_t& bytes) {
  ULARGE_INTEGER available = {};
  if (!::GetDiskFreeSpaceExW(path.c_str(), &available, nullptr, nullptr)) return ::GetLastError();
  bytes = available.QuadPart;
  return kErrorSuccess;
}

std::vector<std::wstring> Win32Machine::RunningProcessNames() {
  std::vector<std::wstring> names;
  SnapshotHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return names;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more; more = ::Process32NextW(snapshot.Get(), &entry))
    names.emplace_back(entry.szExeFile);
  return names;
}

}  // namespace platform::win32
