#include "util/Utf8.h"

#include <cstdint>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// Decodes one code point at text[pos] and advances pos past it. A malformed
// sequence yields U+FFFD and consumes its maximal valid prefix (at least one
// byte), the behaviour the Unicode standard recommends.
char32_t DecodeOne(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<std::uint8_t>(text[pos++]);
  if (lead < 0x80) return lead;

  int length = 0;
  char32_t cp = 0;
  std::uint8_t low = 0x80, high = 0xBF;  // bounds of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    cp = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    cp = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return kReplacement;
  }

  for (int i = 1; i < length; ++i) {
    if (pos >= text.size()) return kReplacement;
    const auto byte = static_cast<std::uint8_t>(text[pos]);
    const std::uint8_t min = i == 1 ? low : 0x80;
    const std::uint8_t max = i == 1 ? high : 0xBF;
    if (byte < min || byte > max) return kReplacement;
    cp = (cp << 6) | (byte & 0x3F);
    ++pos;
  }
  return cp;
}

void AppendWide(std::wstring& out, char32_t cp) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
      return;
    }
  }
  out.push_back(static_cast<wchar_t>(cp));
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Reads one code point from wide text, pairing UTF-16 surrogates.
char32_t NextCodePoint(std::wstring_view text, std::size_t& pos) {
  char32_t c = static_cast<char32_t>(text[pos++]);
  if constexpr (sizeof(wchar_t) == 2) {
    c &= 0xFFFF;
    if (c >= 0xD800 && c <= 0xDBFF && pos < text.size()) {
      const char32_t next = static_cast<char32_t>(text[pos]) & 0xFFFF;
      if (next >= 0xDC00 && next <= 0xDFFF) {
        ++pos;
        return 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
      }
    }
  }
  if (IsSurrogate(c) || c > 0x10FFFF) return kReplacement;
  return c;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view text) {
  // Most texts are ASCII: their bytes are the characters.
  std::size_t pos = 0;
  while (pos < text.size() && static_cast<std::uint8_t>(text[pos]) < 0x80) ++pos;
  std::wstring out(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(pos));
  if (pos == text.size()) return out;
  out.reserve(text.size());
  while (pos < text.size()) AppendWide(out, DecodeOne(text, pos));
  return out;
}

std::string WideToUtf8(std::wstring_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && static_cast<std::uint32_t>(text[pos]) < 0x80) ++pos;
  std::string out(pos, '\0');
  for (std::size_t i = 0; i < pos; ++i) out[i] = static_cast<char>(text[i]);
  if (pos == text.size()) return out;
  out.reserve(text.size() + 8);
  while (pos < text.size()) AppendUtf8(out, NextCodePoint(text, pos));
  return out;
}

std::string WideToAsciiLossy(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const char32_t cp = NextCodePoint(text, pos);
    out.push_back(cp < 0x80 ? static_cast<char>(cp) : '?');
  }
  return out;
}
