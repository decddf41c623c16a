// Facts about the machine that the offer rules measure: physical memory,
// free disk space and the running programs. (Processor speed is a registry
// value, files and folders are FileSystem::Exists, the Desktop is a known
// folder.)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Win32Error.h"

namespace platform {

class Machine {
 public:
  virtual ~Machine() = default;

  // GlobalMemoryStatusEx (dwLength 64): ullTotalPhys in bytes. On failure
  // the code of GetLastError.
  virtual Win32Error TotalPhysicalMemory(std::uint64_t& bytes) = 0;

  // GetDiskFreeSpaceExW(path): the free bytes available to the caller, which
  // honours disk quotas. On failure the code of GetLastError (3 for a path
  // that does not exist, ...).
  virtual Win32Error FreeBytesAvailable(const std::wstring& path, std::uint64_t& bytes) = 0;

  // CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0) walked with
  // Process32FirstW/Process32NextW: the executable name (szExeFile) of each
  // process, as the system writes it, in snapshot order. Empty when no
  // snapshot could be taken.
  virtual std::vector<std::wstring> RunningProcessNames() = 0;
};

}  // namespace platform
