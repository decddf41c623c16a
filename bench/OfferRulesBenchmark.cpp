// The loading task's reading of one large configuration answer
// (ReadConfigurationAnswer: a Package per offer, one OfferChecker) on a
// simulated 64-bit machine: 500 offers with registry, file, process and App
// Paths rules, 300 installed programs in each registry view. Reports the
// time of the whole answer, per offer, and how often the uninstall key was
// enumerated (the counting registry of the tests); bench/README.md gives
// the goals.
//
//   build/native/bench/brimvale_offer_rules_benchmark
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "config/ConfigurationManager.h"
#include "packages/Package.h"
#include "pages/ConfigurationAnswer.h"
#include "tests/fakes/AnsweringHttp.h"
#include "tests/fakes/CountingRegistry.h"
#include "tests/fakes/TestServices.h"
#include "util/Lowercase.h"

using nlohmann::json;
using platform::RegistryRoot;
using platform::RegistryView;

namespace {

constexpr int kOffers = 500;
constexpr int kPrograms = 300;  // in each view
const std::wstring kUninstall = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::wstring kAppPaths = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";

std::string Number(int i) { return std::to_string(i); }
std::wstring WideNumber(int i) { return std::to_wstring(i); }

// A 64-bit machine: each view of HKLM has kPrograms vendors under Software,
// uninstall entries and App Paths registrations of existing files.
class LargeMachine {
 public:
  LargeMachine() {
    memory = std::make_shared<platform::posix::MemoryRegistry>(true);
    registry = std::make_shared<fakes::CountingRegistry>(memory);
    machine.system->Set({.version = {.major = 10, .minor = 0, .build = 19045}, .wow64 = true});
    machine.knownFolders->folders[platform::KnownFolder::Desktop] = L"C:\\Users\\u\\Desktop";
    machine.knownFolders->folders[platform::KnownFolder::LocalAppData] = machine.scratch.Wide() + L"\\Local";
    machine.machine->freeBytesByPath = {{L"C:\\", 100ull << 30}};
    for (int i = 0; i < 120; ++i) machine.machine->processes.push_back(L"service" + WideNumber(i) + L".exe");

    std::filesystem::create_directories(machine.scratch.Path() / "apps");
    for (const auto view : {RegistryView::Force64, RegistryView::Force32}) {
      const std::wstring bits = view == RegistryView::Force64 ? L"64" : L"32";
      for (int i = 0; i < kPrograms; ++i) {
        const std::wstring program = L"Program" + bits + L"_" + WideNumber(i);
        memory->SetString(RegistryRoot::LocalMachine, L"Software\\Vendor" + bits + L"_" + WideNumber(i) + L"\\" + program,
                          L"Version", L"1.0", view);
        const std::wstring entry = kUninstall + L"\\" + program;
        memory->SetString(RegistryRoot::LocalMachine, entry, L"DisplayName", program, view);
        memory->SetString(RegistryRoot::LocalMachine, entry, L"DisplayVersion", L"1.0." + WideNumber(i), view);
        const std::string file = "apps/program" + std::string(bits.begin(), bits.end()) + "_" + Number(i) + ".exe";
        std::ofstream(machine.scratch.Path() / file) << "x";
        memory->SetString(RegistryRoot::LocalMachine, kAppPaths + L"\\program" + bits + L"_" + WideNumber(i) + L".exe",
                          L"", Scratch() + std::wstring(file.begin(), file.end()), view);
      }
    }
    std::ofstream(machine.scratch.Path() / "present.txt") << "x";

    configuration = machine.Configuration(registry, http);
  }

  std::wstring Scratch() const { return machine.scratch.Wide() + L"\\"; }

  // Offer i passes every rule but, for one offer in five, the last one
  // checked (an installed excluded app), so every rule is evaluated.
  json Answer() const {
    const std::string scratch(machine.scratch.Path().string() + "\\");
    json offers = json::array();
    for (int i = 0; i < kOffers; ++i) {
      const std::string n = Number(i % kPrograms);
      const std::string bits = i % 2 ? "32" : "64";
      offers.push_back({{"ad", {{"o", "offer-" + Number(i)}, {"f", "feed"}}},
                        {"ps",
                         {{"dn", "Offer " + Number(i)},
                          {"i", "offer.png"},
                          {"u", "https://downloads.example.org/o" + Number(i) + ".exe?cc={cc}&a={aflt}"},
                          {"v", i},
                          {"r", {"HKLM\\Software\\Vendor" + bits + "_" + n + "\\Missing", "Absent" + Number(i) + "\\Tool"}},
                          {"ir", {"Vendor" + bits + "_" + n + "\\Program" + bits + "_" + n}},
                          {"rvn", {"Microsoft\\Windows\\CurrentVersion\\Uninstall\\Program" + bits + "_" + n + "\\NoSuchValue"}},
                          {"rvd", {"Microsoft\\Windows\\CurrentVersion\\Uninstall\\Program" + bits + "_" + n +
                                   "\\DisplayVersion\\9.9"}},
                          {"fe", {scratch + "apps\\missing" + Number(i) + ".exe", "{localappdata}\\Offer" + Number(i)}},
                          {"ife", {scratch + "present.txt"}},
                          {"a", {"offer" + Number(i), "tool" + Number(i) + ".exe"}},
                          {"iapp", {"program" + bits + "_" + n + ".exe"}},
                          {"eapp", {i % 5 == 4 ? "program" + bits + "_" + n + ".exe" : "absent" + Number(i) + ".exe"}}}}});
    }
    return {{"l", "US"},
            {"i", {{"ct", "Product"}, {"cu", "https://downloads.example.org/product.exe"}}},
            {"f", {{"m", kOffers}, {"a", "publisher"}}},
            {"o", offers}};
  }

  fakes::TestServices machine;
  std::shared_ptr<fakes::AnsweringHttp> http = std::make_shared<fakes::AnsweringHttp>();
  std::shared_ptr<platform::posix::MemoryRegistry> memory;
  std::shared_ptr<fakes::CountingRegistry> registry;
  std::shared_ptr<ConfigurationManager> configuration;
};

// The most QueryInfo calls on one uninstall key (of one root, view and path).
int MostEnumerationsOfUninstallKey(const fakes::CountingRegistry::Counts& seen) {
  std::map<std::tuple<RegistryRoot, RegistryView, std::wstring>, int> counts;
  int most = 0;
  for (const auto& key : seen.enumerated) {
    const std::wstring path = ToLowerWide(key.subKey);
    if (path.ends_with(L"\\uninstall")) most = std::max(most, ++counts[{key.root, key.view, path}]);
  }
  return most;
}

void BM_OfferLoop(benchmark::State& state) {
  LargeMachine machine;
  const json answer = machine.Answer();
  std::size_t shown = 0;
  int mostEnumerations = 0;
  for (auto _ : state) {
    machine.registry->Reset();
    auto accepted = ReadConfigurationAnswer(answer, machine.configuration);
    state.PauseTiming();
    shown = accepted ? accepted->size() : 0;
    accepted.reset();
    const auto& seen = machine.registry->Seen();
    mostEnumerations = std::max(mostEnumerations, MostEnumerationsOfUninstallKey(seen));
    state.counters["enumerations"] = static_cast<double>(seen.enumerations);
    state.counters["registry_calls"] = static_cast<double>(seen.Total());
    state.ResumeTiming();
  }
  if (shown != kOffers - kOffers / 5) state.SkipWithError(("the answer was not checked as built: " + std::to_string(shown) + " shown").c_str());
  state.SetItemsProcessed(state.iterations() * kOffers);
  state.counters["offers"] = kOffers;
  state.counters["uninstall_enumerations_per_key"] = mostEnumerations;
}
BENCHMARK(BM_OfferLoop)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
