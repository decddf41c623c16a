#include "util/UrlValidation.h"

#include <string_view>

#include "util/Lowercase.h"
#include "util/Utf8.h"

namespace {

bool IsHostCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '.' ||
         c == '-';
}

}  // namespace

// The rule of ^((http|https)://)?([\w.-]+)(\.[\w.-]+)+([/?#].*)?$, checked in
// one pass: a backtracking regex takes exponential time on near matches and
// recurses once per character, so a long URL from the server would overflow
// the stack.
bool IsValidUrl(const std::wstring& text) {
  const std::string ascii = WideToAsciiLossy(text);
  std::string_view rest = ascii;
  // ':' is no host character, so a scheme is taken whenever one is there.
  for (std::string_view scheme : {"https://", "http://"}) {
    if (rest.starts_with(scheme)) {
      rest.remove_prefix(scheme.size());
      break;
    }
  }
  // The host runs up to the first other character, which must begin the path.
  std::size_t hostEnd = 0;
  while (hostEnd < rest.size() && IsHostCharacter(rest[hostEnd])) ++hostEnd;
  const std::string_view host = rest.substr(0, hostEnd);
  const std::string_view path = rest.substr(hostEnd);
  // A name and at least one ".name": a dot with a host character on each side.
  const std::size_t dot = host.size() < 3 ? std::string_view::npos : host.find('.', 1);
  if (dot == std::string_view::npos || dot + 1 >= host.size()) return false;
  if (path.empty()) return true;
  return (path.front() == '/' || path.front() == '?' || path.front() == '#') &&
         path.find_first_of("\r\n") == std::string_view::npos;
}

bool IsWebLink(const std::wstring& text) {
  const std::wstring lower = ToLowerWide(text.substr(0, 8));
  std::size_t hostStart = 0;
  if (lower.starts_with(L"https://")) {
    hostStart = 8;
  } else if (lower.starts_with(L"http://")) {
    hostStart = 7;
  } else {
    return false;
  }
  return hostStart < text.size() && text[hostStart] != L'/' && text[hostStart] != L'\\';
}
