#include "config/RequestSignature.h"

#include "platform/Sha256.h"
#include "util/Utf8.h"

std::string Sha256Hex(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(64);
  for (std::uint8_t byte : platform::Sha256(text)) {
    hex += kHex[byte >> 4];
    hex += kHex[byte & 0xF];
  }
  return hex;
}

HttpHeader MakeSignatureHeader(const std::string& userId, const std::string& sessionId) {
  return {L"Authorization", L"Signature=" + Utf8ToWide(Sha256Hex(userId + sessionId))};
}
