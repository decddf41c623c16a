#include "packages/Package.h"

#include <exception>

#include "config/ConfigurationManager.h"
#include "config/JsonAccess.h"
#include "packages/AfltCodes.h"
#include "packages/Base62.h"
#include "packages/JsonInteger.h"
#include "telemetry/EventProtocol.h"
#include "util/ReplaceAll.h"
#include "util/Utf8.h"

namespace {

using json_access::Boolean;
using json_access::FindMember;
using json_access::Member;
using json_access::MemberText;
using json_access::OptionalText;
using json_access::Text;

// Each text of a JSON list, in order.
template <typename Convert>
auto ReadList(const nlohmann::json& ps, const char* key, Convert convert) {
  std::vector<decltype(convert(std::string()))> list;
  const nlohmann::json* elements = FindMember(ps, key);
  if (!elements) return list;
  for (const auto& element : *elements) list.push_back(convert(Text(element)));
  return list;
}

// Each text of a JSON list made wide.
std::vector<std::wstring> ReadWideList(const nlohmann::json& ps, const char* key) {
  return ReadList(ps, key, [](const std::string& text) { return Utf8ToWide(text); });
}

std::wstring Wide(const std::string& text) { return Utf8ToWide(text); }

// An optional boolean member, false when absent.
bool OptionalBoolean(const nlohmann::json& object, const char* key) {
  const nlohmann::json* member = FindMember(object, key);
  return member ? Boolean(*member) : false;
}

// An optional whole number, 0 when absent.
template <typename Integer>
Integer OptionalInteger(const nlohmann::json& object, const char* key) {
  const nlohmann::json* member = FindMember(object, key);
  return member ? ReadInteger<Integer>(*member) : 0;
}

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

  const auto& ad = Member(offer, "ad");
  adF = MemberText(ad, "f");
  adO = MemberText(ad, "o");
  std::string pxl;
  try {
    pxl = EncodeBase62(machineId + "|" + adO + "|" + session);
  } catch (const std::exception&) {
    pxl.clear();
  }
  params.emplace("pxl", pxl);
  params.emplace("of", adF);

  const auto& ps = Member(offer, "ps");
  const auto text = [&](const char* key) { return ExpandPlaceholders(MemberText(ps, key)); };
  const auto optionalText = [&](const char* key, std::string& field) {
    if (const nlohmann::json* member = FindMember(ps, key)) field = ExpandPlaceholders(Text(*member));
  };
  imageName = text("i");
  dn = text("dn");
  u = text("u");
  optionalText("p", p);
  optionalText("cp", cp);
  optionalText("ctu", ctu);
  if (const nlohmann::json* member = FindMember(ps, "sha256")) sha256 = Text(*member);
  vertical.store(OptionalInteger<int>(ps, "v"));
  exclusive = OptionalBoolean(ps, "exc");
  optionalText("c", c);
  minDiskSpace = OptionalInteger<std::int64_t>(ps, "disk");
  minRam = OptionalInteger<std::int64_t>(ps, "ram");
  minCpu = OptionalInteger<std::int64_t>(ps, "cpu");
  minOsVersion = OptionalInteger<int>(ps, "ov");
  pv = OptionalText(ps, "pv");
  requires64BitOs = OptionalBoolean(ps, "win64");

  // The preset comes after "disk", "ram", "cpu" and "win64" and wins.
  if (const nlohmann::json* preset = FindMember(ps, "x")) {
    switch (ReadInteger<int>(*preset)) {
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
  r = ReadWideList(ps, "r");
  ir = ReadWideList(ps, "ir");
  rvn = ReadWideList(ps, "rvn");
  rvd = ReadWideList(ps, "rvd");
  if (const nlohmann::json* checks = FindMember(ps, "cmdu")) {
    for (const auto& entry : *checks) {
      cmdu.push_back(UninstallCheck{
          .utr = Wide(MemberText(entry, "utr")),
          .utk = Wide(MemberText(entry, "utk")),
          .utvn = Wide(MemberText(entry, "utvn")),
          .utvt = Wide(MemberText(entry, "utvt")),
          .umd = ReadInteger<int>(Member(entry, "umd")),
          .utms = OptionalBoolean(entry, "utms"),
      });
    }
  }
  eapp = ReadWideList(ps, "eapp");
  iapp = ReadWideList(ps, "iapp");
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
  using json_access::SetMember;
  nlohmann::json payload = std::move(templatePayload);
  if (isMainProduct) {
    const nlohmann::json* title = FindMember(payload, events::kProductTitle);
    SetMember(payload, events::kPackageId, title ? *title : nlohmann::json(""));
    SetMember(payload, events::kPackageKind, events::kMainPackage);
    SetMember(payload, events::kOfferFeed, "");
  } else {
    SetMember(payload, events::kPackageId, adO);
    SetMember(payload, events::kPackageKind, events::kOfferPackage);
    SetMember(payload, events::kOfferC, c);
    SetMember(payload, events::kOfferPosition, std::to_string(position + 1));
    SetMember(payload, events::kOfferFeed, adF);
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
