#include "util/Utf8.h"

#include <gtest/gtest.h>

// Round trips keep every code point, including those outside the BMP.
TEST(Utf8, RoundTripsValidText) {
  for (const std::string text : {"", "plain", "Espa\xC3\xB1ol", "\xD0\xA0\xD1\x83\xD1\x81", "\xF0\x9F\x98\x80 ok"}) {
    EXPECT_EQ(WideToUtf8(Utf8ToWide(text)), text);
  }
  EXPECT_EQ(Utf8ToWide("\xC5\x81"), L"\u0141");
  EXPECT_EQ(Utf8ToWide("\xF0\x9F\x98\x80").size(), sizeof(wchar_t) == 2 ? 2u : 1u);
}

// Malformed input never throws; each bad sequence becomes U+FFFD.
TEST(Utf8, ReplacesMalformedSequences) {
  struct Case {
    std::string input;
    std::wstring expected;
  };
  const Case cases[] = {
      {"\x80", L"\uFFFD"},                      // lone continuation byte
      {"a\xC3", L"a\uFFFD"},                    // truncated at the end
      {"\xC0\xAF", L"\uFFFD\uFFFD"},            // overlong slash
      {"\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},  // encoded surrogate
      {"\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"\xE2\x82x", L"\uFFFDx"},                // cut short, next byte kept
      {"\xFF", L"\uFFFD"},
      {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},  // NUL is a character
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToWide(c.input), c.expected) << testing::PrintToString(c.input);
}

TEST(Utf8, UnpairedSurrogatesBecomeReplacementCharacters) {
  const std::wstring lone(1, static_cast<wchar_t>(0xD800));
  EXPECT_EQ(WideToUtf8(lone), "\xEF\xBF\xBD");
}

TEST(Utf8, AsciiLossyKeepsAsciiOnly) { EXPECT_EQ(WideToAsciiLossy(L"h\u00E9llo/\u4E2D"), "h?llo/?"); }
