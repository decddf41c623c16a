#include <nlohmann/json.hpp>

#include "server/Catalogue.h"
#include "server/EventCheck.h"
#include "server/RequestStore.h"
#include "tests/fuzz/FuzzTargets.h"

namespace fuzz {
namespace {

// The signature a wizard would send for the body's payload, so that fuzzed
// events get past the check and into the database.
std::string SignatureFor(std::string_view body) {
  const nlohmann::json request = nlohmann::json::parse(body, nullptr, false);
  if (!request.is_object() || !request.contains("data") || !request["data"].is_string()) return "Signature=";
  const nlohmann::json payload = nlohmann::json::parse(request["data"].get<std::string>(), nullptr, false);
  if (!payload.is_object()) return "Signature=";
  const auto member = [&](const char* key) {
    const auto found = payload.find(key);
    if (found == payload.end()) return std::string();
    return found->is_string() ? found->get<std::string>() : found->dump();
  };
  return "Signature=" + Sha256HexOf(member("1") + member("2"));
}

}  // namespace

void ServerRequest(std::string_view input) {
  static const Catalogue catalogue = LoadCatalogue(BRIMVALE_SAMPLE_CATALOGUE);
  RequestStore store(":memory:");  // fresh each time: the rows would pile up

  const std::string body(input);
  store.RecordRequest("POST", "/zbd", "{}", "[]", body);
  const EventVerdict signedVerdict = CheckEvent(body, SignatureFor(body));
  Expect(signedVerdict.status == 200 || signedVerdict.status == 400 || signedVerdict.status == 401,
         "an event answered with another status");
  Expect(signedVerdict.record.has_value() == (signedVerdict.status == 200), "a record without acceptance");
  if (signedVerdict.record) store.RecordEvent(*signedVerdict.record);
  const EventVerdict unsignedVerdict = CheckEvent(body, "Signature=0");
  Expect(unsignedVerdict.status != 200, "an event accepted with a wrong signature");

  for (const auto& [path, endpoint] : catalogue.configuration) {
    const CannedAnswer& answer = ChooseAnswer(endpoint, body);
    Expect(answer.status >= 100 && answer.status < 600, "a configuration answer without a status");
  }
}

}  // namespace fuzz
