#include "packages/Base62.h"

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace {

constexpr char kAlphabet[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
// The number is kept in limbs of five digits each: a fifth of the carries a
// digit at a time takes, and limb * 256 plus a carry still fits 64 bits.
constexpr int kLimbDigits = 5;
constexpr std::uint32_t kLimb = 62u * 62u * 62u * 62u * 62u;

}  // namespace

std::string EncodeBase62(std::string_view bytes) {
  if (bytes.empty()) return {};
  std::size_t zeros = 0;
  while (zeros < bytes.size() && bytes[zeros] == '\0') ++zeros;

  // Each byte needs log(256) / log(62) digits.
  const auto size =
      static_cast<std::size_t>(std::ceil(std::log(256.0) / std::log(62.0) * static_cast<double>(bytes.size() - zeros)));
  std::vector<std::uint32_t> limbs;  // least significant first
  limbs.reserve(size / kLimbDigits + 1);
  for (std::size_t i = zeros; i < bytes.size(); ++i) {
    std::uint64_t carry = static_cast<std::uint8_t>(bytes[i]);
    for (auto& limb : limbs) {
      carry += std::uint64_t{limb} * 256u;
      limb = static_cast<std::uint32_t>(carry % kLimb);
      carry /= kLimb;
    }
    for (; carry != 0; carry /= kLimb) limbs.push_back(static_cast<std::uint32_t>(carry % kLimb));
  }

  std::string text;
  for (auto limb = limbs.rbegin(); limb != limbs.rend(); ++limb) {
    char digits[kLimbDigits];
    std::uint32_t value = *limb;
    for (int d = kLimbDigits - 1; d >= 0; --d, value /= 62) digits[d] = kAlphabet[value % 62];
    // The most significant limb without its leading zeros.
    int first = 0;
    if (limb == limbs.rbegin())
      while (first < kLimbDigits - 1 && digits[first] == '0') ++first;
    text.append(digits + first, digits + kLimbDigits);
  }
  if (text.size() > size) throw std::runtime_error("Non-zero carry");
  return text;
}
