// One installable item of the wizard: the main product or one offer of the
// configuration answer, with what its pages show, its download data, the
// parameters of its eligibility rules, its placeholder values, its image and
// its analytics payload. Shared by std::shared_ptr; created with
// make_shared; after construction only the event state and `image` change.
//
// An offer's JSON ("o" element of the answer):
//   "ad": {"o": text, "f": text}                       required
//   "ps": {"i", "dn", "u": text                          required
//          "p", "cp", "ctu", "c", "pv", "sha256": text
//          "v", "ov", "x": number (as int); "disk", "ram", "cpu": number (as int64)
//          "exc", "win64": boolean
//          "fe", "ife", "a", "r", "ir", "rvn", "rvd", "eapp", "iapp": [text, ...]
//          "cmdu": [{"utr", "utk", "utvn", "utvt": text, "umd": number, "utms": boolean (optional)}]}
// Members are read with the JSON library's conversions and errors: a missing
// required member throws its out_of_range error, a member of the wrong type
// its type_error ("type must be number, but is string", "type must be
// boolean, but is number"); booleans count as 0 and 1 where a number is
// expected, fractions are cut toward zero, and a number the member's type
// cannot hold throws out_of_range (ReadInteger).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <nlohmann/json.hpp>

#include "telemetry/EventChannel.h"
#include "telemetry/EventTemplate.h"

class ConfigurationManager;
class MemoryDownloader;
namespace ui {
class Image;
}

// One entry of the minimum-days-since-uninstall rule.
struct UninstallCheck {
  std::wstring utr;   // root, a full root name ("hkey_local_machine", ...)
  std::wstring utk;   // key path below it
  std::wstring utvn;  // value name
  std::wstring utvt;  // value type (not used by the rule)
  int umd = 0;        // minimum days
  bool utms = false;  // the value holds milliseconds, not seconds
};

class Package : public std::enable_shared_from_this<Package> {
 public:
  // An offer. `c` is the default of the field c; `position` the number of
  // offers accepted before this one. The steps run in order and the first
  // exception (the JSON library's) ends the construction. Reads the
  // machine id, session, country, publisher, ispb and folder tokens of
  // `configuration`, which the package refers to (weakly) for its events.
  Package(EventTemplate eventTemplate, const nlohmann::json& offer, bool isMainProduct, const std::string& c,
          int position, std::shared_ptr<ConfigurationManager> configuration);

  // The main package: the texts become adO, adF, dn and c (UTF-8); no rule
  // parameter is set and params stays empty.
  Package(EventTemplate eventTemplate, bool isMainProduct, const std::wstring& adO, const std::wstring& adF,
          const std::wstring& dn, const std::wstring& c, int position,
          std::shared_ptr<ConfigurationManager> configuration);

  // Waits until no event worker of the package runs.
  ~Package();
  Package(const Package&) = delete;
  Package& operator=(const Package&) = delete;

  // Makes the main package describe the configuration answer.
  void ResetMainProduct(EventTemplate eventTemplate, const std::wstring& adO, const std::wstring& adF,
                        const std::wstring& dn, const std::wstring& c);

  // `text` with every "{key}" of params replaced by its value. A value that
  // holds a placeholder itself is not expanded again, so expansion always
  // ends; unknown placeholders stay as they are.
  std::string ExpandPlaceholders(std::string text) const;

  // Offers: fetches imageBaseUrl + imageName in the background, decodes it
  // into `image` (null when the bytes are no picture; left as it was when
  // nothing arrived) and then calls the callback on the downloader's
  // thread, which must post any window work. The download keeps the package
  // alive. The main package calls the callback at once, on this thread,
  // without network activity, as does a package whose configuration is
  // gone.
  void DownloadImage(std::function<void()> callback, MemoryDownloader& downloads);

  std::wstring GetU() const;
  std::wstring GetP() const;

  // Events (see telemetry/EventChannel.h).
  // Reports an event on a worker of its own and returns at once; dropped
  // when a final event was delivered already. `extra` is null or an object
  // whose members replace those the payload has ("12", "13").
  void SendEvent(int eventId, const nlohmann::json& extra = nullptr);
  // Blocks until no event worker of this package runs.
  void WaitForEvents();
  int PendingEvents() const;
  bool FinalEventSent() const { return events->finalEventSent; }

  HttpHeaders eventHeaders;  // of the event template: the signature every event carries
  bool isMainProduct = false;
  std::string dn;
  std::string adO;
  std::string adF;
  std::string c;
  std::string imageName;
  std::string u;
  std::string p;
  std::string cp;
  std::string ctu;
  std::string sha256;  // the download's digest in hexadecimal; empty: not checked
  std::atomic<int> vertical{0};
  std::int64_t minDiskSpace = 0;  // MiB
  std::int64_t minRam = 0;        // MiB
  std::int64_t minCpu = 0;        // MHz
  int minOsVersion = 0;           // 61, 62, 63, 100
  std::string pv;                 // minimum wizard version
  bool requires64BitOs = false;
  int position = 0;
  nlohmann::json eventPayload;
  std::shared_ptr<ui::Image> image;
  std::unordered_map<std::string, std::string> params;
  std::vector<std::wstring> fe;
  std::vector<std::wstring> ife;
  std::vector<std::string> a;
  std::vector<std::wstring> r;
  std::vector<std::wstring> ir;
  std::vector<std::wstring> rvn;
  std::vector<std::wstring> rvd;
  std::vector<std::wstring> eapp;
  std::vector<std::wstring> iapp;
  bool exclusive = false;
  bool requiresChrome = false;
  bool rejectsChrome = false;
  bool checksIeVersion = false;
  std::vector<UninstallCheck> cmdu;

 private:
  void ReadOffer(const nlohmann::json& offer, ConfigurationManager& config);
  // eventPayload: the event template's payload with the package's fields.
  void BuildEventPayload(nlohmann::json templatePayload);

  // Weak: the configuration owns its packages (mainPackage, shownPackages,
  // acceptedPackages), so a strong reference back would keep both alive
  // forever. Without a configuration there is no one to report to: events
  // are dropped and no image is fetched.
  std::weak_ptr<ConfigurationManager> configuration;
  std::shared_ptr<EventChannel> events = std::make_shared<EventChannel>();
};
