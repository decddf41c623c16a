// The machine measurements of the offer rules, each taken only when a rule
// needs it and kept for the rest of one pass over the offers once it
// succeeded; a failed measurement keeps nothing, so the next offer that
// needs it measures again. One per OfferChecker; not thread-safe.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "packages/RegistryLookup.h"
#include "platform/Services.h"

class ConfigurationManager;

// A measurement in MiB, or the Win32 error code of the failed call.
struct SizeProbe {
  bool ok = false;
  std::uint64_t mib = 0;
  platform::Win32Error error = platform::kErrorSuccess;
};

enum class CpuProbeStatus { Ok, KeyNotOpened, ValueNotRead };

struct CpuProbe {
  CpuProbeStatus status = CpuProbeStatus::KeyNotOpened;
  std::uint32_t mhz = 0;
};

// One App Paths registration of a name: where it was found and, once read,
// the executable path its default value names (empty when none).
struct AppPathsEntry {
  platform::RegistryRoot root;
  std::uint32_t view = 0;  // 0 or KEY_WOW64_64KEY
  std::wstring path;
  bool resolved = false;
};
using AppPathsIndex = std::unordered_multimap<std::wstring, AppPathsEntry>;

class SystemProbes {
 public:
  // `registry` is the OfferChecker's lookup, whose SubkeyCache the Chrome
  // locations share.
  SystemProbes(std::shared_ptr<ConfigurationManager> configuration, RegistryLookup& registry);

  // Total physical memory in MiB (bytes >> 20).
  SizeProbe TotalPhysicalMemoryMiB();
  // HKLM\HARDWARE\DESCRIPTION\System\CentralProcessor\0 "~MHz", read in the
  // 64-bit view with the narrow calls, whatever its type.
  CpuProbe ProcessorSpeedMHz();
  // Free space available to the user on the drive of the Desktop folder (its
  // first three characters, "C:\"), in MiB.
  SizeProbe FreeDiskSpaceMiB();
  // The lower-case executable names of the running processes; taken again
  // only while the list is empty.
  const std::vector<std::wstring>& RunningProcessNames();
  // Whether `name` (compared exactly: the index holds lower-case names) is
  // registered under App Paths in either root and, on 64-bit Windows, either
  // view, with a default value naming an existing file or folder.
  bool IsAppInstalled(const std::wstring& name);
  // Whether any location FindChromeExecutables lists exists.
  bool IsChromeInstalled();
  // Whether the path names an existing file or folder (PathFileExistsW); a
  // path still holding a folder token names nothing. Each path is looked at
  // once per pass: most offers name the same few files.
  bool FileExists(const std::wstring& path);
  // Whether any of the paths exists, tried in order.
  bool AnyFileExists(const std::vector<std::wstring>& paths);

  const AppPathsIndex& AppPaths() const { return appPathsIndex; }

 private:
  void BuildAppPathsIndex();

  std::shared_ptr<ConfigurationManager> configuration;
  platform::Services services;
  RegistryLookup& registry;

  std::uint64_t freeDiskMiB = 0;
  bool freeDiskKnown = false;
  std::uint64_t totalMemoryMiB = 0;
  bool totalMemoryKnown = false;
  std::uint32_t cpuMHz = 0;
  bool cpuKnown = false;
  std::vector<std::wstring> processNames;
  AppPathsIndex appPathsIndex;
  std::unordered_map<std::wstring, bool> existingFiles;  // path -> it exists
};

// The candidate chrome.exe paths, in order: Chromium and Chrome below
// {commonpf}, Chromium below {localappdata} (folder tokens expanded), the
// "Path" value of HKLM App Paths\chrome.exe followed by "\chrome.exe", and
// the "Path" value of HKCU\SOFTWARE\Google\Chrome\BLBeacon as it is.
std::vector<std::wstring> FindChromeExecutables(ConfigurationManager& configuration, RegistryLookup& registry);
