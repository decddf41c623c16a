#include "util/UrlValidation.h"

#include <regex>

#include "util/Utf8.h"

bool IsValidUrl(const std::wstring& text) {
  // Compiled at every call: the download pages ask once per offer.
  const std::regex pattern(R"(^((http|https):\/\/)?([\w.-]+)(\.[\w.-]+)+([\/?#].*)?$)",
                           std::regex::ECMAScript);
  return std::regex_match(WideToAsciiLossy(text), pattern);
}
