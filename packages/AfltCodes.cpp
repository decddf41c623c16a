#include "packages/AfltCodes.h"

#include <string_view>

namespace {

// Each code with its countries, two letters each. Constant data: nothing is
// built at run time.
struct CodeCountries {
  std::string_view code;
  std::string_view countries;
};

constexpr CodeCountries kCodes[] = {
    {"91088", "US"},
    {"91166", "CA"},
    {"91199", "BR"},
    {"91214", "AUNZKR"},
    {"91105", "DZBGCYCZEGGRHUIEILKWMAPLPTQARORUSASKZATNTRUAAE"},
    {"91215", "THMXPHARVNTWPECLCOVERSLKDOJOHKLTPSHRCRBASVGEMDALUYBYLBSNPALVIDPKSG"},
};

constexpr std::string_view kDefaultCode = "91082";

}  // namespace

std::string GetAfltForCountry(const std::string& country) {
  if (country.size() == 2) {
    for (const auto& [code, countries] : kCodes) {
      for (std::size_t at = 0; at < countries.size(); at += 2)
        if (countries.substr(at, 2) == country) return std::string(code);
    }
  }
  return std::string(kDefaultCode);
}
