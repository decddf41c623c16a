#include "platform/posix/LinuxMachine.h"

#include <dirent.h>
#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/posix/NativePath.h"
#include "platform/posix/PosixFileSystem.h"

namespace platform::posix {

Win32Error LinuxMachine::TotalPhysicalMemory(std::uint64_t& bytes) {
  struct sysinfo info = {};
  if (::sysinfo(&info) != 0) return Win32ErrorFromErrno(errno);
  bytes = std::uint64_t{info.totalram} * info.mem_unit;
  return kErrorSuccess;
}

Win32Error LinuxMachine::FreeBytesAvailable(const std::wstring& path, std::uint64_t& bytes) {
  std::string native = ToNativePath(path);
  struct statvfs info = {};
  while (::statvfs(native.empty() ? "." : native.c_str(), &info) != 0) {
    if (errno != ENOENT || native.empty() || native == "/") return kErrorPathNotFound;
    const auto slash = native.find_last_of('/');
    native = slash == std::string::npos ? "" : slash == 0 ? "/" : native.substr(0, slash);
  }
  bytes = std::uint64_t{info.f_bavail} * info.f_frsize;
  return kErrorSuccess;
}

std::vector<std::wstring> LinuxMachine::RunningProcessNames() {
  std::vector<std::wstring> names;
  DIR* proc = ::opendir("/proc");
  if (!proc) return names;
  std::vector<long> pids;
  while (const dirent* entry = ::readdir(proc)) {
    char* end = nullptr;
    const long pid = std::strtol(entry->d_name, &end, 10);
    if (*entry->d_name && *end == '\0') pids.push_back(pid);
  }
  ::closedir(proc);
  std::sort(pids.begin(), pids.end());
  for (long pid : pids) {
    const std::string base = "/proc/" + std::to_string(pid);
    char target[4096];
    const ssize_t length = ::readlink((base + "/exe").c_str(), target, sizeof target);
    std::string name;
    if (length > 0) {
      name.assign(target, static_cast<std::size_t>(length));
      if (name.ends_with(" (deleted)")) name.resize(name.size() - 10);
      name = name.substr(name.find_last_of('/') + 1);
    } else {
      std::ifstream comm(base + "/comm");
      if (!std::getline(comm, name)) continue;  // ended meanwhile
    }
    names.push_back(FromNativePath(name));
  }
  return names;
}

void AddProcessorSpeed(MemoryRegistry& registry) {
  std::ifstream cpuinfo("/proc/cpuinfo");
  for (std::string line; std::getline(cpuinfo, line);) {
    if (!line.starts_with("cpu MHz")) continue;
    const auto colon = line.find(':');
    if (colon == std::string::npos) return;
    const double mhz = std::strtod(line.c_str() + colon + 1, nullptr);
    if (mhz <= 0) return;
    registry.SetDword(RegistryRoot::LocalMachine, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", L"~MHz",
                      static_cast<std::uint32_t>(mhz + 0.5));
    return;
  }
}

}  // namespace platform::posix
