#include "pages/ConfigurationAnswer.h"

#include "config/ConfigurationManager.h"
#include "config/JsonAccess.h"
#include "packages/JsonInteger.h"
#include "packages/OfferChecker.h"
#include "packages/Package.h"
#include "telemetry/EventTemplate.h"
#include "util/Utf8.h"

namespace {

using json_access::FindMember;
using json_access::Member;
using json_access::MemberText;
using json_access::OptionalText;
using nlohmann::json;

// An optional text member: empty when absent, the JSON library's type error
// when it is not a text.
std::wstring Wide(const json& object, const char* name) { return Utf8ToWide(OptionalText(object, name)); }

// Returns false when the product has no title or no URL.
bool ReadProduct(const json& product, ConfigurationManager& configuration) {
  configuration.productTitle = Utf8ToWide(MemberText(product, "ct"));
  configuration.productUrl = Utf8ToWide(MemberText(product, "cu"));
  if (configuration.productTitle.empty() || configuration.productUrl.empty()) return false;
  configuration.productImageUrl = Wide(product, "cl");
  configuration.productFileName =
      FindMember(product, "cf") ? Wide(product, "cf") : configuration.productTitle + L".exe";
  configuration.productPrivacyUrl = Wide(product, "cp");
  configuration.productTermsUrl = Wide(product, "ctu");
  configuration.productCh = Wide(product, "ch");
  configuration.productCfl = Wide(product, "cfl");
  configuration.ispb = OptionalText(product, "cb");
  configuration.productSha256 = OptionalText(product, "sha256");
  return true;
}

}  // namespace

std::optional<std::vector<std::shared_ptr<Package>>> ReadConfigurationAnswer(
    const json& answer, const std::shared_ptr<ConfigurationManager>& configuration) {
  ConfigurationManager& config = *configuration;
  if (const json* country = FindMember(answer, "l")) config.countryCode = json_access::Text(*country);
  if (config.wizardType == DLM && !ReadProduct(Member(answer, "i"), config)) return std::nullopt;

  if (const json* publisher = FindMember(answer, "f"); publisher && FindMember(*publisher, "a"))
    config.publisherId = MemberText(*publisher, "a");

  std::vector<std::shared_ptr<Package>> accepted;
  // "00xA" (exactly so) asks for the product alone.
  if (!FindMember(answer, "o") || config.productCh == L"00xA") return accepted;

  config.offerLimit = ReadInteger<int>(Member(Member(answer, "f"), "m"));
  OfferChecker checker(config.offerLimit, configuration);
  // A rejected offer's package waits for its report when it goes; kept until
  // the loop ends, the reports of all rejections travel at the same time.
  std::vector<std::shared_ptr<Package>> rejected;
  // Nothing the template reads changes during the loop: one signature per answer.
  const EventTemplate eventTemplate = BuildEventTemplate(config);
  for (const json& offer : Member(answer, "o")) {
    const auto package = std::make_shared<Package>(eventTemplate, offer, false, "", static_cast<int>(accepted.size()),
                                                   configuration);
    bool limitReached = false;
    if (checker.CheckOffer(*package, limitReached)) {
      accepted.push_back(package);
      if (package->exclusive) break;
    } else {
      rejected.push_back(package);
    }
    if (limitReached) break;
  }
  return accepted;
}
