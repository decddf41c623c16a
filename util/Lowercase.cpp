#include "util/Lowercase.h"

#include <cwctype>

std::wstring ToLowerWide(std::wstring text) {
  for (auto& c : text) {
    // ASCII directly: the program never leaves the "C" locale, where
    // towlower maps A-Z and leaves the rest of ASCII; it is the slow part
    // of every registry and program-name rule.
    if (c < 0x80) {
      if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + (L'a' - L'A'));
    } else {
      c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    }
  }
  return text;
}
