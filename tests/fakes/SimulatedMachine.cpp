#include "tests/fakes/SimulatedMachine.h"

namespace fakes {

platform::Win32Error SimulatedMachine::TotalPhysicalMemory(std::uint64_t& bytes) {
  std::lock_guard lock(mutex);
  ++counts.memory;
  if (memoryError != platform::kErrorSuccess) return memoryError;
  bytes = totalMemoryBytes;
  return platform::kErrorSuccess;
}

platform::Win32Error SimulatedMachine::FreeBytesAvailable(const std::wstring& path, std::uint64_t& bytes) {
  std::lock_guard lock(mutex);
  ++counts.disk;
  counts.diskPaths.push_back(path);
  if (diskError != platform::kErrorSuccess) return diskError;
  auto found = freeBytesByPath.find(path);
  if (found == freeBytesByPath.end()) return platform::kErrorPathNotFound;
  bytes = found->second;
  return platform::kErrorSuccess;
}

std::vector<std::wstring> SimulatedMachine::RunningProcessNames() {
  std::lock_guard lock(mutex);
  ++counts.processes;
  return processes;
}

SimulatedMachine::Counts SimulatedMachine::Measured() const {
  std::lock_guard lock(mutex);
  return counts;
}

}  // namespace fakes
