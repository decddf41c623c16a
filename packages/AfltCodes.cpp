#include "packages/AfltCodes.h"

#include <initializer_list>
#include <unordered_map>

namespace {

const std::unordered_map<std::string, std::string>& AfltTable() {
  static const auto table = [] {
    std::unordered_map<std::string, std::string> codes;
    const auto add = [&](const char* code, std::initializer_list<const char*> countries) {
      for (const char* country : countries) codes.emplace(country, code);
    };
    add("91088", {"US"});
    add("91166", {"CA"});
    add("91199", {"BR"});
    add("91214", {"AU", "NZ", "KR"});
    add("91105", {"DZ", "BG", "CY", "CZ", "EG", "GR", "HU", "IE", "IL", "KW", "MA", "PL",
                  "PT", "QA", "RO", "RU", "SA", "SK", "ZA", "TN", "TR", "UA", "AE"});
    add("91215", {"TH", "MX", "PH", "AR", "VN", "TW", "PE", "CL", "CO", "VE", "RS", "LK", "DO", "JO", "HK", "LT", "PS",
                  "HR", "CR", "BA", "SV", "GE", "MD", "AL", "UY", "BY", "LB", "SN", "PA", "LV", "ID", "PK", "SG"});
    return codes;
  }();
  return table;
}

}  // namespace

std::string GetAfltForCountry(const std::string& country) {
  const auto& table = AfltTable();
  const auto found = table.find(country);
  return found == table.end() ? "91082" : found->second;
}
