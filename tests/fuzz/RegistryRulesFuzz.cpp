#include <nlohmann/json.hpp>

#include "config/ConfigurationManager.h"
#include "packages/OfferChecker.h"
#include "packages/Package.h"
#include "packages/RegistryAccess.h"
#include "platform/posix/RegFile.h"
#include "tests/fakes/AnsweringHttp.h"
#include "tests/fakes/TestServices.h"
#include "tests/fuzz/FuzzTargets.h"
#include "util/Lowercase.h"
#include "util/Utf8.h"

namespace fuzz {
namespace {

// The errors the registry layer lets escape for a rule it cannot read: a
// root that is not a full name, a software path too short, a data text
// that is not a number (RegistryLookup.h).
template <typename Step>
void AllowingRuleErrors(Step step) {
  try {
    step();
  } catch (const std::out_of_range&) {
  } catch (const std::invalid_argument&) {
  }
}

void CheckPaths(const std::wstring& line, platform::SystemInfo& system) {
  const std::wstring path = ToLowerWide(line);
  for (std::wstring candidate : ExpandRegistryPath(path, system)) {
    Expect(!candidate.empty(), "a rule path expanded to an empty path");
    SplitRegistryPath(candidate);
    std::uint32_t access = kKeyRead;
    AllowingRuleErrors([&] { ResolveRegistryView(candidate, access, system); });
  }
}

}  // namespace

void RegistryRules(std::string_view input) {
  const RegPrefixed parts = SplitRegPrefix(input);
  auto registry = std::make_shared<platform::posix::MemoryRegistry>(true);
  try {
    platform::posix::ImportRegText(*registry, parts.reg);
  } catch (const std::runtime_error&) {
  }

  nlohmann::json lists = {{"r", nlohmann::json::array()},
                          {"ir", nlohmann::json::array()},
                          {"rvn", nlohmann::json::array()},
                          {"rvd", nlohmann::json::array()}};
  std::vector<std::wstring> lines;
  for (std::size_t start = 0; start < parts.rest.size();) {
    const std::size_t end = std::min(parts.rest.find('\n', start), parts.rest.size());
    const std::string_view line = parts.rest.substr(start, end - start);
    start = end + 1;
    if (line.empty()) continue;
    const std::string rule(line.substr(1));
    switch (line[0]) {
      case 'r': lists["r"].push_back(rule); break;
      case 'i': lists["ir"].push_back(rule); break;
      case 'n': lists["rvn"].push_back(rule); break;
      case 'd': lists["rvd"].push_back(rule); break;
      default: break;
    }
    lines.push_back(Utf8ToWide(rule));
  }

  fakes::TestServices machine;
  for (const bool is64 : {true, false}) {
    machine.system->Set({.version = {.major = 10, .minor = 0, .build = 19045}, .wow64 = is64});
    for (const std::wstring& line : lines) {
      CheckPaths(line, *machine.system);
      RegistryLookup lookup(registry, machine.system);
      AllowingRuleErrors([&] { lookup.AnyKeyExists({line}); });
      AllowingRuleErrors([&] { lookup.AnyValueExists({line}); });
      AllowingRuleErrors([&] { lookup.AnyValueDataMatches({line}); });
    }
  }

  // The same rules as one offer's lists, through the checker.
  const auto configuration = machine.Configuration(registry, std::make_shared<fakes::AnsweringHttp>());
  nlohmann::json ps = {{"i", "i.png"}, {"dn", "Offer"}, {"u", "https://example.org/x.exe"}};
  ps.update(lists);
  const nlohmann::json offer = {{"ad", {{"o", "offer"}, {"f", "f"}}}, {"ps", ps}};
  Package package(BuildEventTemplate(*configuration), offer, false, "", 0, configuration);
  OfferChecker checker(5, configuration);
  bool limitReached = false;
  AllowingRuleErrors([&] { checker.CheckOffer(package, limitReached); });
  Expect(!limitReached, "the limit stopped the first offer");
}

}  // namespace fuzz
