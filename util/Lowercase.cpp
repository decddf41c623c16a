#include "util/Lowercase.h"

#include <cwctype>

std::wstring ToLowerWide(std::wstring text) {
  for (auto& c : text) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return text;
}
