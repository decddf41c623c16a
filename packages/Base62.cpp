#include "packages/Base62.h"

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <vector>

std::string EncodeBase62(std::string_view bytes) {
  static constexpr char kAlphabet[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  if (bytes.empty()) return {};
  std::size_t zeros = 0;
  while (zeros < bytes.size() && bytes[zeros] == '\0') ++zeros;

  // Each byte needs log(256) / log(62) digits.
  const auto size =
      static_cast<std::size_t>(std::ceil(std::log(256.0) / std::log(62.0) * static_cast<double>(bytes.size() - zeros)));
  std::vector<std::uint8_t> digits(size, 0);
  std::size_t chain = 0;  // the longest carry chain so far: the digits in use
  for (std::size_t i = zeros; i < bytes.size(); ++i) {
    std::uint32_t carry = static_cast<std::uint8_t>(bytes[i]);
    std::size_t walked = 0;
    for (auto digit = digits.rbegin(); (carry != 0 || walked < chain) && digit != digits.rend(); ++digit, ++walked) {
      carry += 256u * *digit;
      *digit = static_cast<std::uint8_t>(carry % 62);
      carry /= 62;
    }
    if (carry != 0) throw std::runtime_error("Non-zero carry");
    chain = walked;
  }

  std::string text;
  auto digit = digits.begin();
  while (digit != digits.end() && *digit == 0) ++digit;
  for (; digit != digits.end(); ++digit) text += kAlphabet[*digit];
  return text;
}
