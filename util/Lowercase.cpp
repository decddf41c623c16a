#include "util/Lowercase.h"

std::wstring ToLowerWide(std::wstring text) {
  for (auto& c : text) c = ToLowerWideChar(c);
  return text;
}
