#include "server/EventCheck.h"

#include <openssl/evp.h>

#include <nlohmann/json.hpp>

#include "telemetry/EventProtocol.h"

namespace {

using nlohmann::json;

// A payload member as the row stores it: strings as they are, other values
// as JSON text, missing members empty.
std::string Member(const json& payload, const char* key) {
  const auto found = payload.find(key);
  if (found == payload.end()) return "";
  return found->is_string() ? found->get<std::string>() : found->dump();
}

}  // namespace

std::string Sha256HexOf(std::string_view text) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EVP_Digest(text.data(), text.size(), digest, &size, EVP_sha256(), nullptr);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < size; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 0xF];
  }
  return hex;
}

EventVerdict CheckEvent(std::string_view body, std::string_view authorization) {
  const json request = json::parse(body, nullptr, false);
  if (!request.is_object() || !request.contains(events::kRequestData) || !request[events::kRequestData].is_string() ||
      !request.contains(events::kRequestTable) || !request[events::kRequestTable].is_string())
    return {400, std::nullopt};
  const std::string data = request[events::kRequestData].get<std::string>();
  const json payload = json::parse(data, nullptr, false);
  if (!payload.is_object()) return {400, std::nullopt};
  if (request[events::kRequestTable] != events::kTable) return {401, std::nullopt};
  const std::string userId = Member(payload, events::kMachineId);
  const std::string sessionId = Member(payload, events::kSessionTimestamp);
  if (authorization != "Signature=" + Sha256HexOf(userId + sessionId)) return {401, std::nullopt};
  return {200, EventRecord{Member(payload, events::kEventId), userId, sessionId, Member(payload, events::kPackageId),
                           data}};
}
