#include "packages/Package.h"

#include <exception>

#include "config/ConfigurationManager.h"
#include "packages/AfltCodes.h"
#include "packages/Base62.h"
#include "packages/JsonInteger.h"
#include "telemetry/EventProtocol.h"
#include "util/ReplaceAll.h"
#include "util/Utf8.h"

namespace {

// Each text of a JSON list, in order.
template <typename Convert>
auto ReadList(const nlohmann::json& ps, const char* key, Convert convert) {
  std::vector<decltype(convert(std::string()))> list;
  if (!ps.contains(key)) return list;
  for (const auto& element : ps[key]) list.push_back(convert(element.get<std::string>()));
  return list;
}

std::wstring Wide(const std::string& text) { return Utf8ToWide(text); }

}  // namespace

Package::Package(EventTemplate eventTemplateIn, const nlohmann::json& offer, bool isMainProductIn,
                 const std::string& cIn, int positionIn, std::shared_ptr<ConfigurationManager> configurationIn)
    : eventHeaders(std::move(eventTemplateIn.headers)),
      isMainProduct(isMainProductIn),
      c(cIn),
      position(positionIn),
      configuration(configurationIn) {
  ReadOffer(offer, *configurationIn);
  BuildEventPayload(std::move(eventTemplateIn.payload));
}

Package::Package(EventTemplate eventTemplateIn, bool isMainProductIn, const std::wstring& adOIn,
                 const std::wstring& adFIn, const std::wstring& dnIn, const std::wstring& cIn, int positionIn,
                 std::shared_ptr<ConfigurationManager> configurationIn)
    : eventHeaders(std::move(eventTemplateIn.headers)),
      isMainProduct(isMainProductIn),
      dn(WideToUtf8(dnIn)),
      adO(WideToUtf8(adOIn)),
      adF(WideToUtf8(adFIn)),
      c(WideToUtf8(cIn)),
      position(positionIn),
      configuration(configurationIn) {
  BuildEventPayload(std::move(eventTemplateIn.payload));
}

Package::~Package() { WaitForEvents(); }

void Package::ReadOffer(const nlohmann::json& offer, ConfigurationManager& config) {
  const auto putIfSet = [&](const char* key, const std::string& value) {
    if (!value.empty()) params.emplace(key, value);
  };
  const std::string machineId = config.GetMachineId();
  const std::string session = config.GetSessionTimestamp();
  putIfSet("userid", machineId);
  putIfSet("sessionid", session);
  putIfSet("cc", config.countryCode);
  putIfSet("pubid", config.publisherId);
  putIfSet("ispb", config.ispb);
  params.emplace("aflt", GetAfltForCountry(config.countryCode));

  const auto& ad = offer.at("ad");
  adF = ad.at("f").get<std::string>();
  adO = ad.at("o").get<std::string>();
  std::string pxl;
  try {
    pxl = EncodeBase62(machineId + "|" + adO + "|" + session);
  } catch (const std::exception&) {
    pxl.clear();
  }
  params.emplace("pxl", pxl);
  params.emplace("of", adF);

  const auto& ps = offer.at("ps");
  const auto text = [&](const char* key) { return ExpandPlaceholders(ps.at(key).get<std::string>()); };
  const auto optionalText = [&](const char* key, std::string& field) {
    if (ps.contains(key)) field = ExpandPlaceholders(ps[key].get<std::string>());
  };
  imageName = text("i");
  dn = text("dn");
  u = text("u");
  optionalText("p", p);
  optionalText("cp", cp);
  optionalText("ctu", ctu);
  if (ps.contains("sha256")) sha256 = ps["sha256"].get<std::string>();
  vertical.store(ps.contains("v") ? ReadInteger<int>(ps["v"]) : 0);
  exclusive = ps.contains("exc") ? ps["exc"].get<bool>() : false;
  optionalText("c", c);
  minDiskSpace = ps.contains("disk") ? ReadInteger<std::int64_t>(ps["disk"]) : 0;
  minRam = ps.contains("ram") ? ReadInteger<std::int64_t>(ps["ram"]) : 0;
  minCpu = ps.contains("cpu") ? ReadInteger<std::int64_t>(ps["cpu"]) : 0;
  minOsVersion = ps.contains("ov") ? ReadInteger<int>(ps["ov"]) : 0;
  pv = ps.contains("pv") ? ps["pv"].get<std::string>() : "";
  requires64BitOs = ps.contains("win64") ? ps["win64"].get<bool>() : false;

  // The preset comes after "disk", "ram", "cpu" and "win64" and wins.
  if (ps.contains("x")) {
    switch (ReadInteger<int>(ps["x"])) {
      case 1:
        minDiskSpace = 2500;
        minRam = 250;
        break;
      case 2:
        requiresChrome = true;
        checksIeVersion = true;
        break;
      case 3:
        minDiskSpace = 512;
        minRam = 1536;
        minCpu = 1500;
        break;
      case 10:
        requires64BitOs = true;
        break;
      case 12:
        requiresChrome = true;
        break;
      case 13:
        rejectsChrome = true;
        break;
      default:
        break;
    }
  }

  const auto withFolders = [&](const std::string& path) { return config.ExpandFolderTokens(Utf8ToWide(path)); };
  fe = ReadList(ps, "fe", withFolders);
  ife = ReadList(ps, "ife", withFolders);
  a = ReadList(ps, "a", [](const std::string& name) { return name; });
  r = ReadList(ps, "r", Wide);
  ir = ReadList(ps, "ir", Wide);
  rvn = ReadList(ps, "rvn", Wide);
  rvd = ReadList(ps, "rvd", Wide);
  if (ps.contains("cmdu")) {
    for (const auto& entry : ps["cmdu"]) {
      cmdu.push_back(UninstallCheck{
          .utr = Wide(entry.at("utr").get<std::string>()),
          .utk = Wide(entry.at("utk").get<std::string>()),
          .utvn = Wide(entry.at("utvn").get<std::string>()),
          .utvt = Wide(entry.at("utvt").get<std::string>()),
          .umd = ReadInteger<int>(entry.at("umd")),
          .utms = entry.contains("utms") ? entry["utms"].get<bool>() : false,
      });
    }
  }
  eapp = ReadList(ps, "eapp", Wide);
  iapp = ReadList(ps, "iapp", Wide);
}

void Package::ResetMainProduct(EventTemplate eventTemplateIn, const std::wstring& adOIn, const std::wstring& adFIn,
                               const std::wstring& dnIn, const std::wstring& cIn) {
  eventHeaders = std::move(eventTemplateIn.headers);
  isMainProduct = true;
  position = 0;
  adO = WideToUtf8(adOIn);
  adF = WideToUtf8(adFIn);
  dn = WideToUtf8(dnIn);
  c = WideToUtf8(cIn);
  BuildEventPayload(std::move(eventTemplateIn.payload));
}

std::string Package::ExpandPlaceholders(std::string text) const {
  // Replacements only ever start at a placeholder: without a brace there is none.
  if (text.find('{') == std::string::npos) return text;
  for (const auto& [key, value] : params) {
    // A value holding a placeholder, its own included, is never expanded again.
    ReplaceAll(text, "{" + key + "}", value);
  }
  return text;
}

std::wstring Package::GetU() const { return Utf8ToWide(u); }
std::wstring Package::GetP() const { return Utf8ToWide(p); }

void Package::BuildEventPayload(nlohmann::json templatePayload) {
  nlohmann::json payload = std::move(templatePayload);
  if (isMainProduct) {
    payload[events::kPackageId] =
        payload.contains(events::kProductTitle) ? payload[events::kProductTitle] : nlohmann::json("");
    payload[events::kPackageKind] = events::kMainPackage;
    payload[events::kOfferFeed] = "";
  } else {
    payload[events::kPackageId] = adO;
    payload[events::kPackageKind] = events::kOfferPackage;
    payload[events::kOfferC] = c;
    payload[events::kOfferPosition] = std::to_string(position + 1);
    payload[events::kOfferFeed] = adF;
  }
  eventPayload = std::move(payload);
}

void Package::SendEvent(int eventId, const nlohmann::json& extra) {
  if (events->finalEventSent) return;
  std::shared_ptr<ConfigurationManager> config = configuration.lock();
  if (!config) return;
  // The worker gets copies: it never touches the package.
  StartEventWorker(events, std::move(config), eventPayload, eventHeaders, eventId, extra);
}

void Package::WaitForEvents() { WaitForEventWorkers(*events); }

int Package::PendingEvents() const {
  std::lock_guard lock(events->mutex);
  return events->pendingEvents;
}
