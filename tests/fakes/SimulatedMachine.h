// A machine whose memory, disks and running programs a test sets, counting
// how often each was measured.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Machine.h"

namespace fakes {

class SimulatedMachine : public platform::Machine {
 public:
  platform::Win32Error TotalPhysicalMemory(std::uint64_t& bytes) override;
  platform::Win32Error FreeBytesAvailable(const std::wstring& path, std::uint64_t& bytes) override;
  std::vector<std::wstring> RunningProcessNames() override;

  struct Counts {
    int memory = 0;
    int disk = 0;
    int processes = 0;
    std::vector<std::wstring> diskPaths;  // the paths measured, in order
  };
  Counts Measured() const;

  // What the machine answers; set before the measurements.
  std::uint64_t totalMemoryBytes = 8ull << 30;
  platform::Win32Error memoryError = platform::kErrorSuccess;
  std::map<std::wstring, std::uint64_t> freeBytesByPath;  // a path not listed: kErrorPathNotFound
  platform::Win32Error diskError = platform::kErrorSuccess;  // when set, every disk fails with it
  std::vector<std::wstring> processes;

 private:
  mutable std::mutex mutex;
  Counts counts;
};

}  // namespace fakes
