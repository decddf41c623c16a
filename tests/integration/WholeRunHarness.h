// The whole wizard run natively: the real host and pages on a headless
// window thread, against the reference server over verified TLS, with the
// stand-in installer as the product and as every offer. A test serves an
// answer, starts the run, walks it like a user and reads back what the
// server stored and what the run left on disk.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/WizardPages.h"
#include "packages/Package.h"
#include "platform/posix/PosixInternet.h"
#include "tests/fakes/TestPng.h"
#include "tests/fakes/ZipBuilder.h"
#include "tests/fixtures/ReferenceServer.h"
#include "tests/unit/WizardTestHarness.h"
#include "util/Utf8.h"

namespace wholerun {

using nlohmann::json;
using ui::headless::Driver;

// One event the server stored: its id and its text ("12" or "13" of the
// payload, whichever is set).
struct StoredEvent {
  std::string id;
  std::string text;
  bool operator==(const StoredEvent&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const StoredEvent& event) {
  return out << "{" << event.id << (event.text.empty() ? "" : ", \"" + event.text + "\"") << "}";
}
// The events of each package (the payload's "5": the product title or the
// offer's "ad"."o"), in the order the server stored them.
using EventsByPackage = std::map<std::string, std::vector<StoredEvent>>;

inline std::string ServerUrl(const std::string& path) { return WideToUtf8(testserver::ProductUrl(Utf8ToWide(path))); }

inline constexpr char kProductTitle[] = "Brimvale Player";
inline constexpr char kProductFile[] = "BrimvalePlayerSetup.exe";

// The answer's product: the stand-in installer served as BrimvaleProduct.exe.
inline json ProductAnswer() {
  return {{"ct", kProductTitle},
          {"cu", ServerUrl("/files/BrimvaleProduct.exe")},
          {"cl", ServerUrl("/f/product.png")},
          {"cf", kProductFile},
          {"cp", "https://www.brimvale.com/privacy/"},
          {"ctu", "https://www.brimvale.com/terms/"},
          {"ch", ""},
          {"cfl", ""},
          {"cb", ""}};
}

// An offer named `id`, served as /files/<id>.exe with the picture <id>.png;
// `ps` adds or replaces members of its "ps".
inline json Offer(const std::string& id, const json& ps = json::object()) {
  json offer = {{"ad", {{"o", id}, {"f", "feed"}}},
                {"ps",
                 {{"i", id + ".png"},
                  {"dn", id + " Tool"},
                  {"v", static_cast<int>(id[0])},  // a vertical of its own
                  {"u", ServerUrl("/files/" + id + ".exe")},
                  {"p", "/quiet /offer=" + id},
                  {"cp", "https://privacy.example/" + id},
                  {"ctu", "https://terms.example/" + id}}}};
  offer["ps"].update(ps);
  return offer;
}

// An answer with the product, an offer limit and these offers.
inline json Answer(std::vector<json> offers, int offerLimit = 5) {
  return {{"l", "US"}, {"i", ProductAnswer()}, {"f", {{"a", "publisher"}, {"m", offerLimit}}}, {"o", offers}};
}

class WholeRunTest : public wizardtest::WizardTest {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(Downloads());
    std::filesystem::create_directories(InstallerRecords());
    // The stand-in installers write their records here; they inherit it.
    ::setenv("BRIMVALE_TEST_INSTALLER_OUT", InstallerRecords().c_str(), 1);
    services.knownFolders->folders[platform::KnownFolder::Downloads] = Downloads().wstring();
  }

  std::shared_ptr<PageFactory> MakePages(std::shared_ptr<ApiManager> api,
                                         std::shared_ptr<DownloadManager> downloadManager) override {
    return std::make_shared<WizardPages>(std::move(api), std::move(downloadManager));
  }

  std::filesystem::path Downloads() const { return services.scratch.Path() / "Downloads"; }
  std::filesystem::path InstallerRecords() const { return services.scratch.Path() / "records"; }

  // Serves `answer` at /o (or, when given, `answerText` in its place) with
  // the faults given by path; the product and every offer of the answer are
  // the stand-in installer (an offer whose URL ends in ".zip" an archive
  // holding it as Inner.exe, one named Missing.exe nothing at all), each
  // with a picture. The HTTP seams give up on a transfer after
  // `stallTimeout` without a byte.
  void Serve(const json& answer, const json& faults = json::object(), const std::string& answerText = "") {
    catalogue.SetIndex({{"configuration", {{"/o", {{"answer", "answers/answer.json"}}}}}, {"faults", faults}});
    catalogue.Write("answers/answer.json", answerText.empty() ? answer.dump() : answerText);
    const std::string installer = ReadFile(BRIMVALE_TEST_INSTALLER);
    const auto png = fakes::ThreeByTwoPng();
    const std::string picture(png.begin(), png.end());
    catalogue.Write("files/BrimvaleProduct.exe", installer);
    catalogue.Write("images/product.png", picture);
    if (answer.contains("o") && answer["o"].is_array()) {
      for (const json& offer : answer["o"]) {
        const std::string url = offer["ps"].value("u", "");
        const std::string name = url.substr(url.rfind('/') + 1);
        if (name == "Missing.exe") {
          // not served
        } else if (name.ends_with(".zip")) {
          fakes::WriteZip(catalogue.Folder() / "files" / name, {{.name = "Inner.exe", .content = installer}});
        } else {
          catalogue.Write("files/" + name, installer);
        }
        catalogue.Write("images/" + offer["ps"].value("i", ""), picture);
      }
    }
    server = std::make_unique<testserver::ReferenceServer>(catalogue);
    platform::posix::PosixHttpSettings settings = server->Settings();
    settings.stallTimeout = stallTimeout;
    services.http = std::make_shared<platform::posix::PosixHttp>(settings);
    services.internet = std::make_shared<platform::posix::PosixInternet>(settings);
  }

  // Serves the answer and runs the download-manager wizard on its language page.
  void StartRun(const json& answer, const json& faults = json::object(), const std::string& answerText = "") {
    Serve(answer, faults, answerText);
    Start("DLM");
  }

  // The page the user sees: the error page when it is shown, else the
  // current page of the sequence.
  std::wstring Showing() {
    return thread.Run([this]() -> std::wstring {
      if (const auto error = Driver::FindDialog(ids::kErrorPage); error && Driver::IsShown(error->handle))
        return L"ErrorPage";
      const IPage* page = host->PageAt(host->CurrentPageIndex());
      return page ? page->GetPageName() : L"";
    });
  }
  ui::WindowHandle CurrentWindow() { return PageWindow(CurrentPage()); }

  // Waits until the user is asked something again: the wizard rests on
  // `name` (and, when given, on page `index`).
  bool WaitForPage(const std::wstring& name, std::optional<unsigned> index = std::nullopt) {
    return driver.WaitFor([&] { return Showing() == name && (!index || CurrentPage() == *index); });
  }

  // Language page, Next; then Next on the welcome page once loading is done.
  bool PassLanguageAndWelcome() {
    if (!driver.Click(PageWindow(0), ids::kNextButton)) return false;
    if (!driver.WaitFor([this] { return Showing() == L"WelcomePage" || Showing() == L"ErrorPage"; })) return false;
    if (Showing() == L"ErrorPage") return true;
    return driver.Click(CurrentWindow(), ids::kNextButton);
  }

  // Waits until no event of the main package or a shown offer is still
  // being posted: a package knows its final event was delivered only then.
  void DrainEvents() {
    const auto main = configuration->mainPackage;
    if (main) main->WaitForEvents();
    const auto shown = thread.Run([this] { return configuration->shownPackages; });
    for (const auto& package : shown) package->WaitForEvents();
  }

  // The events the server stored, by package.
  EventsByPackage StoredEvents() const {
    EventsByPackage events;
    for (const auto& row : server->Query(
             "SELECT event_id, package, json_extract(payload, '$.\"12\"'), json_extract(payload, '$.\"13\"') "
             "FROM zb_analytics ORDER BY id"))
      events[row[1]].push_back({row[0], row[2].empty() ? row[3] : row[2]});
    return events;
  }
  std::size_t StoredCount() const { return std::stoul(server->Query("SELECT COUNT(*) FROM zb_analytics")[0][0]); }
  // Waits until the server has stored `count` events (workers are detached).
  void WaitForStoredEvents(std::size_t count) {
    EXPECT_TRUE(driver.WaitFor([&] { return StoredCount() >= count; }))
        << "stored " << StoredCount() << " events, expected " << count;
  }

  // The command line each stand-in installer recorded, by its file name.
  std::map<std::string, std::string> StartedInstallers() const {
    std::map<std::string, std::string> started;
    for (const auto& entry : std::filesystem::directory_iterator(InstallerRecords())) {
      const std::string name = entry.path().filename().string();
      if (name.ends_with(".run")) started[name.substr(0, name.size() - 4)] = ReadFile(entry.path());
    }
    return started;
  }
  // Waits for the records of the installers started without waiting.
  void WaitForInstallers(std::size_t count) {
    EXPECT_TRUE(driver.WaitFor([&] { return StartedInstallers().size() >= count; }));
  }

  static std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // The product's own: 30 s without a byte in either direction.
  std::chrono::milliseconds stallTimeout{30'000};
  testserver::TestCatalogue catalogue;
  std::unique_ptr<testserver::ReferenceServer> server;
};

}  // namespace wholerun
