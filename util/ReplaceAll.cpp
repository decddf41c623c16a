#include "util/ReplaceAll.h"

namespace {

template <typename Text>
void ReplaceEach(Text& text, const Text& pattern, const Text& value) {
  if (pattern.empty()) return;
  for (auto at = text.find(pattern); at != Text::npos; at = text.find(pattern, at + value.size()))
    text.replace(at, pattern.size(), value);
}

}  // namespace

void ReplaceAll(std::string& text, const std::string& pattern, const std::string& value) {
  ReplaceEach(text, pattern, value);
}

void ReplaceAll(std::wstring& text, const std::wstring& pattern, const std::wstring& value) {
  ReplaceEach(text, pattern, value);
}
