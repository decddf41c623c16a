#include "pages/ConfigurationAnswer.h"

#include "config/ConfigurationManager.h"
#include "packages/JsonInteger.h"
#include "packages/OfferChecker.h"
#include "packages/Package.h"
#include "telemetry/EventTemplate.h"
#include "util/Utf8.h"

namespace {

using nlohmann::json;

// An optional text member: empty when absent, the JSON library's type error
// when it is not a text.
std::string Narrow(const json& object, const char* name) {
  const auto found = object.find(name);
  return found == object.end() ? std::string() : found->get<std::string>();
}

std::wstring Wide(const json& object, const char* name) { return Utf8ToWide(Narrow(object, name)); }

// Returns false when the product has no title or no URL.
bool ReadProduct(const json& product, ConfigurationManager& configuration) {
  configuration.productTitle = Utf8ToWide(product.at("ct").get<std::string>());
  configuration.productUrl = Utf8ToWide(product.at("cu").get<std::string>());
  if (configuration.productTitle.empty() || configuration.productUrl.empty()) return false;
  configuration.productImageUrl = Wide(product, "cl");
  configuration.productFileName =
      product.contains("cf") ? Wide(product, "cf") : configuration.productTitle + L".exe";
  configuration.productPrivacyUrl = Wide(product, "cp");
  configuration.productTermsUrl = Wide(product, "ctu");
  configuration.productCh = Wide(product, "ch");
  configuration.productCfl = Wide(product, "cfl");
  configuration.ispb = Narrow(product, "cb");
  configuration.productSha256 = Narrow(product, "sha256");
  return true;
}

}  // namespace

std::optional<std::vector<std::shared_ptr<Package>>> ReadConfigurationAnswer(
    const json& answer, const std::shared_ptr<ConfigurationManager>& configuration) {
  ConfigurationManager& config = *configuration;
  if (answer.is_object() && answer.contains("l")) config.countryCode = answer["l"].get<std::string>();
  if (config.wizardType == DLM && !ReadProduct(answer.at("i"), config)) return std::nullopt;

  const auto publisher = answer.find("f");
  if (publisher != answer.end() && publisher->is_object() && publisher->contains("a"))
    config.publisherId = publisher->at("a").get<std::string>();

  std::vector<std::shared_ptr<Package>> accepted;
  // "00xA" (exactly so) asks for the product alone.
  if (!answer.contains("o") || config.productCh == L"00xA") return accepted;

  config.offerLimit = ReadInteger<int>(answer.at("f").at("m"));
  OfferChecker checker(config.offerLimit, configuration);
  // A rejected offer's package waits for its report when it goes; kept until
  // the loop ends, the reports of all rejections travel at the same time.
  std::vector<std::shared_ptr<Package>> rejected;
  // Nothing the template reads changes during the loop: one signature per answer.
  const EventTemplate eventTemplate = BuildEventTemplate(config);
  for (const json& offer : answer.at("o")) {
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
