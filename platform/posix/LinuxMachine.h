// The machine facts of the Linux host: total memory from sysinfo, free space
// from statvfs (the blocks available to unprivileged users, the analogue of
// a quota-honouring figure) and the processes listed in /proc.
#pragma once

#include "platform/Machine.h"
#include "platform/posix/MemoryRegistry.h"

namespace platform::posix {

class LinuxMachine : public Machine {
 public:
  Win32Error TotalPhysicalMemory(std::uint64_t& bytes) override;
  // A path that does not exist is measured on the file system of its
  // nearest existing ancestor, as a Windows drive root stands for its disk.
  Win32Error FreeBytesAvailable(const std::wstring& path, std::uint64_t& bytes) override;
  // The file name of each process's executable (/proc/<pid>/exe), or its
  // command name when the link cannot be read; in process-id order.
  std::vector<std::wstring> RunningProcessNames() override;
};

// Writes the processor speed the host reports (/proc/cpuinfo "cpu MHz") as
// HKLM\HARDWARE\DESCRIPTION\System\CentralProcessor\0 "~MHz", where Windows
// keeps it. Nothing is written when the host does not report it.
void AddProcessorSpeed(MemoryRegistry& registry);

}  // namespace platform::posix
