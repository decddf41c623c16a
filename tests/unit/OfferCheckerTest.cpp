// The offer rules on a simulated machine: their order, their reasons as the
// rejection events carry them, the rules across offers, and that nothing is
// measured that no rule needs.
#include "packages/OfferChecker.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "config/ConfigurationManager.h"
#include "platform/posix/RegFile.h"
#include "tests/fakes/AnsweringHttp.h"
#include "tests/fakes/CountingRegistry.h"
#include "tests/fakes/TestServices.h"
#include "util/Utf8.h"

using nlohmann::json;
using platform::KnownFolder;
using platform::RegistryRoot;
using platform::RegistryView;

namespace {

constexpr std::int64_t kNow = 1'700'000'000;
const std::wstring kCpuKey = L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";

class OfferCheckerTest : public testing::Test {
 protected:
  void SetUp() override { SetWindows(true); }

  // A fresh machine: 100 MiB free on the Desktop's drive, 1024 MiB of
  // memory, 1000 MHz, Windows 10 (or 7), programs Example.exe and
  // my.tool.exe running, the rules.reg registry.
  void SetWindows(bool is64, platform::OsVersion version = {.major = 10, .minor = 0, .build = 19045}) {
    memory = std::make_shared<platform::posix::MemoryRegistry>(is64);
    platform::posix::ImportRegFile(*memory, BRIMVALE_TEST_DATA "/registry/rules.reg");
    registry = std::make_shared<fakes::CountingRegistry>(memory);
    machine.system->Set({.version = version, .wow64 = is64});
    machine.knownFolders->folders[KnownFolder::Desktop] = L"C:\\Users\\u\\Desktop";
    machine.knownFolders->folders[KnownFolder::LocalAppData] = machine.scratch.Wide() + L"\\Local";
    machine.machine->freeBytesByPath = {{L"C:\\", 100ull << 20}};
    machine.machine->diskError = machine.machine->memoryError = platform::kErrorSuccess;
    machine.machine->totalMemoryBytes = 1024ull << 20;
    machine.machine->processes = {L"System", L"Example.exe", L"my.tool.exe"};
    machine.clock->now = kNow;
    configuration = machine.Configuration(registry, http);
    registry->Reset();
  }

  std::shared_ptr<Package> Offer(const json& ps) {
    json offer = {{"ad", {{"o", "offer-" + std::to_string(++offers)}, {"f", "f"}}},
                  {"ps", {{"i", "i.png"}, {"dn", "Offer"}, {"u", "https://example.org/x.exe"}}}};
    offer["ps"].update(ps);
    return FullOffer(offer);
  }
  std::shared_ptr<Package> FullOffer(const json& offer) {
    return std::make_shared<Package>(BuildEventTemplate(*configuration), offer, false, "", 0, configuration);
  }

  // "accepted", "limit", or the reason of the package's rejection event.
  std::string Outcome(OfferChecker& checker, Package& package) {
    bool limitReached = false;
    if (checker.CheckOffer(package, limitReached)) return "accepted";
    if (limitReached) return "limit";
    package.WaitForEvents();
    const auto requests = http->Requests();
    for (auto request = requests.rbegin(); request != requests.rend(); ++request) {  // the latest first
      const json data = json::parse(json::parse(request->body).at("data").get<std::string>());
      if (data.at("5") == package.adO && data.at("6") == "2") return data.at("13");
    }
    return "no event";
  }

  std::string Check(const json& ps) {
    OfferChecker checker(5, configuration);
    return Outcome(checker, *Offer(ps));
  }

  // A file that exists, named as the core names paths (UTF-8).
  std::string ExistingFile(const std::string& name) {
    std::filesystem::create_directories((machine.scratch.Path() / name).parent_path());
    std::ofstream(machine.scratch.Path() / name) << "x";
    std::string path = Scratch();
    for (char c : name) path += c == '/' ? '\\' : c;
    return path;
  }
  std::string Scratch() const { return machine.scratch.Path().string() + "\\"; }

  void SetUninstalledAgo(std::int64_t seconds, bool milliseconds = false) {
    const std::uint64_t when = static_cast<std::uint64_t>(kNow - seconds) * (milliseconds ? 1000 : 1);
    memory->SetQword(RegistryRoot::CurrentUser, L"Software\\BrimvaleRules", L"UninstalledAt", when);
  }

  void SetIeVersion(const std::wstring& version) {
    memory->SetString(RegistryRoot::LocalMachine, L"SOFTWARE\\Microsoft\\Internet Explorer", L"Version", version,
                      RegistryView::Default);
  }

  void InstallChrome() { ExistingFile("Local/Chromium/Application/chrome.exe"); }

  fakes::TestServices machine;
  std::shared_ptr<fakes::AnsweringHttp> http = std::make_shared<fakes::AnsweringHttp>();
  std::shared_ptr<platform::posix::MemoryRegistry> memory;
  std::shared_ptr<fakes::CountingRegistry> registry;
  std::shared_ptr<ConfigurationManager> configuration;
  int offers = 0;
};

const json kUninstallCheck = {{"utr", "HKEY_CURRENT_USER"}, {"utk", "Software\\BrimvaleRules"},
                              {"utvn", "UninstalledAt"},    {"utvt", "REG_QWORD"},
                              {"umd", 7}};

json With(json base, const json& more) {
  base.update(more);
  return base;
}

}  // namespace

// An offer that fails every machine rule reports the first; once that rule
// passes, the next one; and so on through all of them, in their order.
TEST_F(OfferCheckerTest, MachineRulesRunInTheirOrder) {
  SetWindows(false);  // so that the 64-bit rule can fail too
  json ps = {
      {"r", {"brimvalerules\\present"}},
      {"ir", {"brimvalerules\\absent"}},
      {"rvn", {"BrimvaleRules\\Present\\name"}},
      {"rvd", {"brimvalerules\\present\\build\\12"}},
      {"disk", 101},
      {"ram", 1025},
      {"cpu", 1001},
      {"ov", 64},
      {"pv", "3.1"},
      {"win64", true},
      {"fe", {ExistingFile("present.exe")}},
      {"ife", {Scratch() + "absent.exe"}},
      {"a", {"example"}},
      {"iapp", {"absent.exe"}},
      {"eapp", {"installed.exe"}},
      {"cmdu", {kUninstallCheck}},
      {"x", 2},
  };
  memory->SetString(RegistryRoot::LocalMachine,
                    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\installed.exe", L"",
                    Utf8ToWide(ExistingFile("installed.exe")));
  SetUninstalledAgo(6 * 86400);
  SetIeVersion(L"8.0.7601.17514");

  const std::vector<std::pair<std::string, std::function<void()>>> ladder = {
      {"REGISTRY KEY EXISTS", [&] { ps["r"] = {"brimvalerules\\absent"}; }},
      {"NONE OF THE REGISTRY KEYS EXISTS", [&] { ps["ir"] = {"brimvalerules\\absent", "brimvalerules\\present"}; }},
      {"REGISTRY VALUE EXISTS", [&] { ps["rvn"] = {"brimvalerules\\present\\other"}; }},
      {"REGISTRY VALUE DATA MATCHES", [&] { ps["rvd"] = {"brimvalerules\\present\\build\\13"}; }},
      {"NOT ENOUGH DISK SPACE", [&] { ps["disk"] = 100; }},
      {"NOT ENOUGH RAM", [&] { ps["ram"] = 1024; }},
      {"NOT ENOUGH CPU", [&] { ps["cpu"] = 1000; }},
      {"UNSUPPORTED OS VERSION", [&] { ps["ov"] = 100; }},
      {"UNSUPPORTED PLATFORM VERSION", [&] { ps["pv"] = "3.0.13.11135"; }},
      {"64 BIT OS REQUIRED", [&] { ps["win64"] = false; }},
      {"FILE EXISTS", [&] { ps["fe"] = {Scratch() + "absent.exe"}; }},
      {"NONE OF THE FILES EXISTS", [&] { ps["ife"].push_back(ExistingFile("present.exe")); }},
      {"APPLICATION RUNNING", [&] { ps["a"] = {"example.com"}; }},
      {"REGISTRY INCLUDE APP NOT FOUND", [&] { ps["iapp"] = {"installed.exe"}; }},
      {"REGISTRY EXCLUDE APP FOUND", [&] { ps["eapp"] = {"Installed.exe"}; }},
      {"MIN DAYS UNINSTALL CHECKER", [&] { SetUninstalledAgo(7 * 86400); }},
      {"NO CHROME", [&] { InstallChrome(); }},
      {"OLD IE VERSION", [&] { SetIeVersion(L"9.0.8112.16421"); }},
  };
  for (const auto& [reason, fix] : ladder) {
    EXPECT_EQ(Check(ps), reason);
    fix();
  }
  EXPECT_EQ(Check(ps), "accepted");
}

// Each rule at its boundaries, on 64-bit Windows 10 unless a setup says
// otherwise.
TEST_F(OfferCheckerTest, RulesAtTheirBoundaries) {
  struct Case {
    std::string name;
    json ps;
    std::function<void()> setup;
    std::string expected;
  };
  const auto none = [] {};
  const auto windows7 = [&] { SetWindows(true, {.major = 6, .minor = 1, .build = 7601, .servicePackMajor = 1}); };
  const std::vector<Case> cases = {
      {"no rules", json::object(), none, "accepted"},
      {"disk failure", {{"disk", 1}}, [&] { machine.machine->diskError = 3; }, "DISK SPACE CHECK FAILED 3"},
      {"disk enough", {{"disk", 100}}, none, "accepted"},
      {"preset 1 disk", {{"x", 1}, {"disk", 10}}, none, "NOT ENOUGH DISK SPACE"},
      {"preset 3 memory", {{"x", 3}}, [&] { machine.machine->freeBytesByPath[L"C:\\"] = 600ull << 20; },
       "NOT ENOUGH RAM"},
      {"memory failure", {{"ram", 1}}, [&] { machine.machine->memoryError = 5; }, "RAM CHECK FAILED 5"},
      {"cpu key", {{"cpu", 1}}, [&] { memory->DeleteKey(RegistryRoot::LocalMachine, kCpuKey); },
       "CPU CHECK FAILED: Couldn't open registry"},
      {"cpu value", {{"cpu", 1}}, [&] { memory->DeleteValue(RegistryRoot::LocalMachine, kCpuKey, L"~MHz"); },
       "CPU CHECK FAILED: Couldn't read value"},
      {"os unknown code", {{"ov", 64}}, none, "UNSUPPORTED OS VERSION"},
      {"os zero", {{"ov", 0}}, none, "accepted"},
      {"os negative", {{"ov", -5}}, none, "accepted"},
      {"os 6.3 on 10", {{"ov", 63}}, none, "accepted"},
      {"os 6.1 on 7", {{"ov", 61}}, windows7, "accepted"},
      {"os 6.2 on 7", {{"ov", 62}}, windows7, "UNSUPPORTED OS VERSION"},
      {"os 10 on 7", {{"ov", 100}}, windows7, "UNSUPPORTED OS VERSION"},
      {"pv shorter", {{"pv", "3.0"}}, none, "accepted"},
      {"pv equal", {{"pv", "3.0.13.11135"}}, none, "accepted"},
      {"pv equal with zero", {{"pv", "3.0.13.11135.0"}}, none, "accepted"},
      {"pv runs of dots", {{"pv", "3..0...13"}}, none, "accepted"},
      {"pv older", {{"pv", "2.99"}}, none, "accepted"},
      {"pv newer build", {{"pv", "3.0.14"}}, none, "UNSUPPORTED PLATFORM VERSION"},
      {"pv newer minor", {{"pv", "3.1"}}, none, "UNSUPPORTED PLATFORM VERSION"},
      {"pv longer", {{"pv", "3.0.13.11135.1"}}, none, "UNSUPPORTED PLATFORM VERSION"},
      {"win64 on 64", {{"win64", true}}, none, "accepted"},
      {"file token unexpanded", {{"fe", {"{nope}\\x"}}}, none, "accepted"},
      {"app without extension", {{"a", {"example"}}}, none, "APPLICATION RUNNING"},
      {"app with extension", {{"a", {"Example.EXE"}}}, none, "APPLICATION RUNNING"},
      {"app with dot in name", {{"a", {"my.tool"}}}, none, "APPLICATION RUNNING"},
      {"app prefix", {{"a", {"exam", "my"}}}, none, "accepted"},
      {"app other extension", {{"a", {"example.com"}}}, none, "accepted"},
      {"uninstall exactly 7 days", {{"cmdu", {kUninstallCheck}}}, [&] { SetUninstalledAgo(7 * 86400); }, "accepted"},
      {"uninstall 1 s short", {{"cmdu", {kUninstallCheck}}}, [&] { SetUninstalledAgo(7 * 86400 - 1); },
       "MIN DAYS UNINSTALL CHECKER"},
      {"uninstall in ms", {{"cmdu", {With(kUninstallCheck, {{"utms", true}})}}},
       [&] { SetUninstalledAgo(7 * 86400 - 1, true); }, "MIN DAYS UNINSTALL CHECKER"},
      {"uninstall in ms exactly 7 days", {{"cmdu", {With(kUninstallCheck, {{"utms", true}})}}},
       [&] { SetUninstalledAgo(7 * 86400, true); }, "accepted"},
      {"uninstall never", {{"cmdu", {kUninstallCheck}}}, none, "accepted"},
      {"chrome required", {{"x", 12}}, none, "NO CHROME"},
      {"chrome present", {{"x", 12}}, [&] { InstallChrome(); }, "accepted"},
      {"chrome refused", {{"x", 13}}, [&] { InstallChrome(); }, "HAVE CHROME"},
      {"ie 8", {{"x", 2}}, [&] { InstallChrome(), SetIeVersion(L"8.0.7601.17514"); }, "OLD IE VERSION"},
      {"ie 9", {{"x", 2}}, [&] { InstallChrome(), SetIeVersion(L"9.0.8112.16421"); }, "accepted"},
      {"ie 9.11", {{"x", 2}}, [&] { InstallChrome(), SetIeVersion(L"9.11.19041.0"); }, "accepted"},
      {"ie absent", {{"x", 2}}, [&] { InstallChrome(); }, "accepted"},
  };
  for (const auto& c : cases) {
    SetWindows(true);
    c.setup();
    EXPECT_EQ(Check(c.ps), c.expected) << c.name;
  }
}

// Errors no rule catches leave the evaluation.
TEST_F(OfferCheckerTest, UncaughtErrorsLeaveTheEvaluation) {
  const auto check = [&](const json& ps) {
    OfferChecker checker(5, configuration);
    bool limitReached = false;
    checker.CheckOffer(*Offer(ps), limitReached);
  };
  memory->SetString(RegistryRoot::CurrentUser, L"Software\\BrimvaleRules", L"UninstalledAt", L"abc");
  EXPECT_THROW(check({{"cmdu", {kUninstallCheck}}}), std::invalid_argument);
  EXPECT_THROW(check({{"cmdu", {With(kUninstallCheck, {{"utr", "HKCU"}})}}}), std::out_of_range);
  EXPECT_THROW(check({{"rvd", {"brimvalerules\\present\\build\\abc"}}}), std::invalid_argument);
  EXPECT_THROW(check({{"r", {"hklm\\software\\"}}}), std::out_of_range);
  InstallChrome();
  SetIeVersion(L"abc");
  EXPECT_THROW(check({{"x", 2}}), std::invalid_argument);
}

// The rules across offers, driven as the loading page drives them: stop
// after an accepted exclusive offer or when the limit is reached.
TEST_F(OfferCheckerTest, LimitVerticalsAndExclusivity) {
  struct Row {
    std::string name;
    int maxOffers;
    std::vector<json> offers;
    std::vector<std::string> outcomes;  // one per offer evaluated
  };
  const std::vector<Row> rows = {
      {"limit and verticals", 2, {{{"v", 1}}, {{"v", 1}}, {{"v", 2}}, {{"v", 3}}},
       {"accepted", "SAME VERTICAL OFFER ALREADY PRESENT", "accepted", "limit"}},
      {"no vertical twice", 5, {json::object(), json::object()}, {"accepted", "SAME VERTICAL OFFER ALREADY PRESENT"}},
      {"vertical -1 twice", 5, {{{"v", -1}}, {{"v", -1}}}, {"accepted", "MULTIPLE OFFERS W/O VERTICAL"}},
      {"exclusive first", 5, {{{"v", 1}, {"exc", true}}, {{"v", 2}}}, {"accepted"}},
      {"exclusive later", 5, {{{"v", 1}}, {{"v", 2}, {"exc", true}}, {{"v", 3}}},
       {"accepted", "EXCLUSIVE, BUT ANOTHER OFFER ALREADY PRESENT", "accepted"}},
      {"no offers allowed", 0, {{{"v", 1}}}, {"limit"}},
  };
  for (const auto& row : rows) {
    OfferChecker checker(row.maxOffers, configuration);
    std::vector<std::string> outcomes;
    for (const auto& ps : row.offers) {
      const auto package = Offer(ps);
      outcomes.push_back(Outcome(checker, *package));
      if (outcomes.back() == "limit" || (outcomes.back() == "accepted" && package->exclusive)) break;
    }
    EXPECT_EQ(outcomes, row.outcomes) << row.name;
  }
  // The limit ends the loop without an event.
  for (const auto& request : http->Requests()) EXPECT_EQ(request.path, L"/zbd");
  EXPECT_EQ(http->Requests().size(), 4u);
}

// Nothing is measured that no rule asks for, and a rule that rejects stops
// the evaluation before the next rule measures.
TEST_F(OfferCheckerTest, MeasuresOnlyWhatARuleNeeds) {
  machine.machine->memoryError = 5;
  machine.machine->diskError = 3;
  OfferChecker checker(5, configuration);
  EXPECT_EQ(Outcome(checker, *Offer({{"v", 1}})), "accepted");
  EXPECT_EQ(Outcome(checker, *Offer({{"v", 1}, {"ram", 1}, {"disk", 1}})), "SAME VERTICAL OFFER ALREADY PRESENT");
  EXPECT_EQ(Outcome(checker, *Offer({{"v", 2}, {"ram", 1}, {"a", {"x"}}, {"iapp", {"x.exe"}}})),
            "RAM CHECK FAILED 5");
  const auto measured = machine.machine->Measured();
  EXPECT_EQ(measured.memory, 1);
  EXPECT_EQ(measured.disk, 0);
  EXPECT_EQ(measured.processes, 0);
  EXPECT_EQ(registry->Seen().Total(), 0);
}

// The worked example of the README is this file, and it is refused on the
// machines the README's table describes, and shown otherwise.
TEST_F(OfferCheckerTest, ReadmeWorkedExample) {
  std::ifstream file(BRIMVALE_TEST_DATA "/offers/example-offer.json");
  const json offer = json::parse(file);
  std::ifstream readmeFile(BRIMVALE_TEST_DATA "/../../README.md");
  const std::string readme{std::istreambuf_iterator<char>(readmeFile), std::istreambuf_iterator<char>()};
  const std::string marker = "<!-- tests/data/offers/example-offer.json -->\n```json\n";
  const auto start = readme.find(marker);
  ASSERT_NE(start, std::string::npos) << "the README shows the example";
  const auto end = readme.find("```", start + marker.size());
  EXPECT_EQ(json::parse(readme.substr(start + marker.size(), end - start - marker.size())), offer);

  machine.environment->variables[L"ProgramW6432"] = machine.scratch.Wide() + L"\\Program Files";
  const auto appPaths = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\editor.exe";
  const std::vector<std::pair<std::function<void()>, std::string>> cases = {
      {[] {}, "accepted"},
      {[&] { memory->CreateKey(RegistryRoot::LocalMachine, L"Software\\Wow6432Node\\ExampleVendor\\Editor"); },
       "accepted"},
      {[&] { memory->CreateKey(RegistryRoot::LocalMachine, L"Software\\ExampleVendor\\Editor"); },
       "REGISTRY KEY EXISTS"},
      {[&] { memory->SetString(RegistryRoot::CurrentUser, L"Software\\ExampleVendor\\Shared", L"Channel", L"Beta"); },
       "REGISTRY VALUE DATA MATCHES"},
      {[&] { machine.machine->freeBytesByPath = {{L"C:\\", 200ull << 20}}; }, "NOT ENOUGH DISK SPACE"},
      {[&] { ExistingFile("Program Files/ExampleVendor/Editor/editor.exe"); }, "FILE EXISTS"},
      {[&] { machine.machine->processes.push_back(L"Editor.exe"); }, "APPLICATION RUNNING"},
      {[&] { memory->SetString(RegistryRoot::LocalMachine, appPaths, L"", Utf8ToWide(ExistingFile("e/editor.exe"))); },
       "REGISTRY EXCLUDE APP FOUND"},
      {[&] {
         memory->SetQword(RegistryRoot::CurrentUser, L"Software\\ExampleVendor\\Editor", L"UninstalledAt",
                          kNow - 10 * 86400);
       },
       "MIN DAYS UNINSTALL CHECKER"},
  };
  for (const auto& [setup, expected] : cases) {
    SetWindows(true, {.major = 6, .minor = 1, .build = 7601, .servicePackMajor = 1});
    std::filesystem::remove_all(machine.scratch.Path() / "Program Files");
    machine.machine->freeBytesByPath = {{L"C:\\", 1000ull << 20}};
    configuration->countryCode = "US";
    setup();
    const auto package = FullOffer(offer);
    EXPECT_EQ(package->u, "https://downloads.example.org/editor/setup.exe?aflt=91088&cc=US");
    OfferChecker checker(3, configuration);
    EXPECT_EQ(Outcome(checker, *package), expected);
  }
}
