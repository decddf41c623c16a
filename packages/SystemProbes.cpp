#include "packages/SystemProbes.h"

#include "config/ConfigurationManager.h"
#include "packages/RegistryAccess.h"
#include "platform/WindowsVersion.h"
#include "util/Lowercase.h"

namespace {

const wchar_t* const kAppPaths = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

}  // namespace

SystemProbes::SystemProbes(std::shared_ptr<ConfigurationManager> configurationIn, RegistryLookup& registry)
    : configuration(std::move(configurationIn)), services(configuration->Services()), registry(registry) {}

SizeProbe SystemProbes::TotalPhysicalMemoryMiB() {
  if (totalMemoryKnown) return {.ok = true, .mib = totalMemoryMiB};
  std::uint64_t bytes = 0;
  if (const auto error = services.machine->TotalPhysicalMemory(bytes); error != platform::kErrorSuccess)
    return {.ok = false, .error = error};
  totalMemoryMiB = bytes >> 20;
  totalMemoryKnown = true;
  return {.ok = true, .mib = totalMemoryMiB};
}

CpuProbe SystemProbes::ProcessorSpeedMHz() {
  if (cpuKnown) return {.status = CpuProbeStatus::Ok, .mhz = cpuMHz};
  std::unique_ptr<platform::RegistryKey> key;
  if (services.registry->OpenKeyNarrow(platform::RegistryRoot::LocalMachine,
                                       "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                                       platform::RegistryView::Force64, key) != platform::kErrorSuccess)
    return {.status = CpuProbeStatus::KeyNotOpened};
  platform::RegistryValue value;
  if (key->QueryValueNarrow("~MHz", 4, value) != platform::kErrorSuccess)
    return {.status = CpuProbeStatus::ValueNotRead};
  std::uint32_t mhz = 0;
  for (std::size_t i = 0; i < value.data.size() && i < 4; ++i) mhz |= std::uint32_t{value.data[i]} << (8 * i);
  cpuMHz = mhz;
  cpuKnown = true;
  return {.status = CpuProbeStatus::Ok, .mhz = cpuMHz};
}

SizeProbe SystemProbes::FreeDiskSpaceMiB() {
  if (freeDiskKnown) return {.ok = true, .mib = freeDiskMiB};
  const std::wstring desktop = services.knownFolders->Path(platform::KnownFolder::Desktop).value_or(L"");
  std::uint64_t bytes = 0;
  if (const auto error = services.machine->FreeBytesAvailable(desktop.substr(0, 3), bytes);
      error != platform::kErrorSuccess)
    return {.ok = false, .error = error};
  freeDiskMiB = bytes >> 20;
  freeDiskKnown = true;
  return {.ok = true, .mib = freeDiskMiB};
}

const std::vector<std::wstring>& SystemProbes::RunningProcessNames() {
  if (processNames.empty()) {
    for (auto& name : services.machine->RunningProcessNames()) processNames.push_back(ToLowerWide(std::move(name)));
  }
  return processNames;
}

void SystemProbes::BuildAppPathsIndex() {
  std::vector<std::uint32_t> views = {0};
  if (Is64BitWindows(*services.system)) views.push_back(kKeyWow64_64Key);
  for (const auto root : {platform::RegistryRoot::LocalMachine, platform::RegistryRoot::CurrentUser}) {
    for (const auto view : views) {
      try {
        const auto key = OpenRegistryKey(*services.registry, root, kAppPaths, kKeyRead | view);
        for (auto& name : EnumerateSubkeys(*key))
          appPathsIndex.emplace(std::move(name), AppPathsEntry{.root = root, .view = view, .path = {}, .resolved = false});
      } catch (const win32::RegistryError&) {
        // Not there in this root and view: the next one.
      }
    }
  }
}

bool SystemProbes::IsAppInstalled(const std::wstring& name) {
  if (appPathsIndex.empty()) BuildAppPathsIndex();
  const auto [first, last] = appPathsIndex.equal_range(name);
  for (auto entry = first; entry != last; ++entry) {
    auto& app = entry->second;
    if (!app.resolved) {
      try {
        const auto key = OpenRegistryKey(*services.registry, app.root, kAppPaths + name, kKeyRead | app.view);
        app.path = ReadRegistryString(*key, L"", L"");
      } catch (const win32::RegistryError&) {
        app.path.clear();
      }
      app.resolved = true;
    }
    if (!app.path.empty() && FileExists(app.path)) return true;
  }
  return false;
}

bool SystemProbes::IsChromeInstalled() { return AnyFileExists(FindChromeExecutables(*configuration, registry)); }

bool SystemProbes::FileExists(const std::wstring& path) {
  const auto [known, added] = existingFiles.try_emplace(path, false);
  if (added) known->second = services.files->Exists(path);
  return known->second;
}

bool SystemProbes::AnyFileExists(const std::vector<std::wstring>& paths) {
  for (const auto& path : paths)
    if (FileExists(path)) return true;
  return false;
}

std::vector<std::wstring> FindChromeExecutables(ConfigurationManager& configuration, RegistryLookup& registry) {
  std::vector<std::wstring> paths = {
      configuration.ExpandFolderTokens(L"{commonpf}\\Chromium\\Application\\chrome.exe"),
      configuration.ExpandFolderTokens(L"{commonpf}\\Google\\Chrome\\Application\\chrome.exe"),
      configuration.ExpandFolderTokens(L"{localappdata}\\Chromium\\Application\\chrome.exe"),
  };
  std::wstring value;
  if (registry.ReadRegistryValueAsText(L"hkey_local_machine",
                                       L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\chrome.exe", L"Path",
                                       value))
    paths.push_back(value + L"\\chrome.exe");
  if (registry.ReadRegistryValueAsText(L"hkey_current_user", L"SOFTWARE\\Google\\Chrome\\BLBeacon", L"Path", value))
    paths.push_back(value);
  return paths;
}
