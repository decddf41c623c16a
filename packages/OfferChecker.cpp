#include "packages/OfferChecker.h"

#include <algorithm>
#include <climits>
#include <cwctype>

#include "config/ConfigurationManager.h"
#include "config/JsonAccess.h"
#include "platform/WindowsVersion.h"
#include "telemetry/EventProtocol.h"
#include "util/Lowercase.h"
#include "util/Utf8.h"

namespace {

// _wtoi: optional blanks and sign, then the leading digits; 0 without any,
// clamped to the int range.
int LeadingInt(const std::wstring& text) {
  std::size_t pos = 0;
  while (pos < text.size() && std::iswspace(static_cast<wint_t>(text[pos]))) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == L'+' || text[pos] == L'-')) negative = text[pos++] == L'-';
  long long value = 0;
  for (; pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9'; ++pos) {
    value = std::min(value * 10 + (text[pos] - L'0'), static_cast<long long>(INT_MAX) + 1);
  }
  if (negative) value = -value;
  return static_cast<int>(std::clamp(value, static_cast<long long>(INT_MIN), static_cast<long long>(INT_MAX)));
}

// The numbers of a dotted version, cut as CString::Tokenize cuts it: runs of
// dots give no empty numbers.
std::vector<int> VersionNumbers(const std::wstring& version) {
  std::vector<int> numbers;
  std::size_t start = 0;
  while (start < version.size()) {
    const auto end = std::min(version.find(L'.', start), version.size());
    if (end > start) numbers.push_back(LeadingInt(version.substr(start, end - start)));
    start = end + 1;
  }
  return numbers;
}

std::size_t CountDots(const std::wstring& text) { return static_cast<std::size_t>(std::count(text.begin(), text.end(), L'.')); }

}  // namespace

OfferChecker::OfferChecker(int maxOffersIn, std::shared_ptr<ConfigurationManager> configurationIn)
    : maxOffers(maxOffersIn),
      configuration(std::move(configurationIn)),
      registry(configuration->Services().registry, configuration->Services().system),
      probes(configuration, registry) {}

bool OfferChecker::CheckOffer(Package& package, bool& limitReached) {
  if (acceptedCount >= maxOffers) {
    limitReached = true;
    return false;
  }
  const std::int32_t vertical = package.vertical.load();
  std::string reason;
  if (acceptedVerticals.contains(vertical)) {
    reason = vertical == -1 ? "MULTIPLE OFFERS W/O VERTICAL" : "SAME VERTICAL OFFER ALREADY PRESENT";
  } else if (package.exclusive && acceptedCount != 0) {
    reason = "EXCLUSIVE, BUT ANOTHER OFFER ALREADY PRESENT";
  } else {
    reason = MachineRuleFailure(package);
  }
  if (!reason.empty()) {
    ReportRejection(package, reason);
    return false;
  }
  ++acceptedCount;
  acceptedVerticals.insert(vertical);
  return true;
}

void OfferChecker::ReportRejection(Package& package, const std::string& reason) {
  nlohmann::json extra = nlohmann::json::object();
  json_access::SetMember(extra, events::kRefusalReason, reason);
  package.SendEvent(events::kRefused, extra);
}

std::string OfferChecker::MachineRuleFailure(Package& package) {
  auto& system = *configuration->Services().system;

  if (!package.r.empty() && registry.AnyKeyExists(package.r)) return "REGISTRY KEY EXISTS";
  if (!package.ir.empty() && !registry.AnyKeyExists(package.ir)) return "NONE OF THE REGISTRY KEYS EXISTS";
  if (registry.AnyValueExists(package.rvn)) return "REGISTRY VALUE EXISTS";
  if (registry.AnyValueDataMatches(package.rvd)) return "REGISTRY VALUE DATA MATCHES";

  if (package.minDiskSpace != 0) {
    const auto disk = probes.FreeDiskSpaceMiB();
    // The pattern "DISK SPACE CHECK FAILED {}" with the code in decimal.
    if (!disk.ok) return "DISK SPACE CHECK FAILED " + std::to_string(disk.error);
    if (disk.mib < static_cast<std::uint64_t>(package.minDiskSpace)) return "NOT ENOUGH DISK SPACE";
  }
  if (package.minRam != 0) {
    const auto memory = probes.TotalPhysicalMemoryMiB();
    if (!memory.ok) return "RAM CHECK FAILED " + std::to_string(memory.error);
    if (memory.mib < static_cast<std::uint64_t>(package.minRam)) return "NOT ENOUGH RAM";
  }
  if (package.minCpu != 0) {
    const auto cpu = probes.ProcessorSpeedMHz();
    if (cpu.status == CpuProbeStatus::KeyNotOpened) return "CPU CHECK FAILED: Couldn't open registry";
    if (cpu.status == CpuProbeStatus::ValueNotRead) return "CPU CHECK FAILED: Couldn't read value";
    if (std::uint64_t{cpu.mhz} < static_cast<std::uint64_t>(package.minCpu)) return "NOT ENOUGH CPU";
  }
  if (package.minOsVersion > 0) {
    bool supported = false;
    switch (package.minOsVersion) {
      case 61: supported = IsWindowsVersionAtLeast(system, 6, 1, 0); break;
      case 62: supported = IsWindowsVersionAtLeast(system, 6, 2, 0); break;
      case 63: supported = IsWindowsVersionAtLeast(system, 6, 3, 0); break;
      case 100: supported = IsWindowsVersionAtLeast(system, 10, 0, 0); break;
      default: break;  // an unknown code never passes
    }
    if (!supported) return "UNSUPPORTED OS VERSION";
  }
  if (!package.pv.empty() && ProgramVersionTooLow(package.pv)) return "UNSUPPORTED PLATFORM VERSION";
  if (package.requires64BitOs && !Is64BitWindows(system)) return "64 BIT OS REQUIRED";

  if (!package.fe.empty() && probes.AnyFileExists(package.fe)) return "FILE EXISTS";
  if (!package.ife.empty() && !probes.AnyFileExists(package.ife)) return "NONE OF THE FILES EXISTS";
  if (RunningApplication(package.a)) return "APPLICATION RUNNING";
  for (const auto& name : package.iapp)
    if (!probes.IsAppInstalled(name)) return "REGISTRY INCLUDE APP NOT FOUND";
  for (const auto& name : package.eapp)
    if (probes.IsAppInstalled(name)) return "REGISTRY EXCLUDE APP FOUND";
  if (TooSoonAfterUninstall(package.cmdu)) return "MIN DAYS UNINSTALL CHECKER";

  if (package.requiresChrome || package.rejectsChrome) {
    const bool chrome = probes.IsChromeInstalled();
    if (package.requiresChrome && !chrome) return "NO CHROME";
    if (package.rejectsChrome && chrome) return "HAVE CHROME";
  }
  if (package.checksIeVersion && OldInternetExplorer()) return "OLD IE VERSION";
  return {};
}

bool OfferChecker::ProgramVersionTooLow(const std::string& minimum) const {
  const auto wanted = VersionNumbers(Utf8ToWide(minimum));
  const auto own = VersionNumbers(configuration->programVersion);
  for (std::size_t i = 0; i < std::max(wanted.size(), own.size()); ++i) {
    const int need = i < wanted.size() ? wanted[i] : 0;
    const int have = i < own.size() ? own[i] : 0;
    if (have != need) return have < need;
  }
  return false;
}

bool OfferChecker::RunningApplication(const std::vector<std::string>& names) {
  if (names.empty()) return false;
  const auto& processes = probes.RunningProcessNames();
  if (runningPrograms.size() != processes.size()) {
    runningPrograms.clear();
    for (const auto& process : processes) {
      const std::size_t dots = CountDots(process);
      runningPrograms.push_back({process, dots, dots ? process.substr(0, process.rfind(L'.')) : process});
    }
  }
  for (const auto& rule : names) {
    const std::wstring name = ToLowerWide(Utf8ToWide(rule));
    const std::size_t dots = CountDots(name);
    // A rule name without the extension matches the program with it.
    for (const auto& program : runningPrograms)
      if ((program.dots > dots ? program.stem : program.name) == name) return true;
  }
  return false;
}

bool OfferChecker::TooSoonAfterUninstall(const std::vector<UninstallCheck>& checks) {
  for (const auto& check : checks) {
    std::wstring text;
    if (!registry.ReadRegistryValueAsText(ToLowerWide(check.utr), ToLowerWide(check.utk), ToLowerWide(check.utvn),
                                          text))
      continue;
    std::uint64_t stored = std::stoull(text, nullptr, 10);
    if (check.utms) stored /= 1000;
    const auto now = static_cast<std::uint64_t>(configuration->Services().clock->UnixTimeNow());
    // umd days in seconds as a signed 32-bit product, then widened.
    const auto minimum = static_cast<std::int32_t>(static_cast<std::uint32_t>(check.umd) * 86400u);
    if (now < stored + static_cast<std::uint64_t>(static_cast<std::int64_t>(minimum))) return true;
  }
  return false;
}

bool OfferChecker::OldInternetExplorer() {
  std::wstring version;
  if (!registry.ReadRegistryValueAsText(L"hkey_local_machine", L"SOFTWARE\\Microsoft\\Internet Explorer", L"Version",
                                        version))
    return false;
  const float scaled = std::stof(version) * 10.0f;
  return scaled < 90.0f;
}
