#include "util/UrlValidation.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

TEST(IsValidUrl, TellsCompleteUrlsFromRelativePaths) {
  struct Case {
    const wchar_t* text;
    bool complete;
  };
  const Case cases[] = {
      {L"https://dl.cdn.example.com/files/setup.exe", true},
      {L"http://example.com", true},
      {L"example.com/a?b#c", true},
      {L"setup.exe", true},  // a dotted name: used as it is
      {L"files/setup.exe", false},
      {L"https://localhost/setup.exe", false},  // no dot in the host
      {L"https://example.com:8443/setup.exe", false},
      {L"HTTPS://example.com/x", false},
      {L"ftp://example.com/x", false},
      {L"https://user@example.com/x", false},
      {L"", false},
      {L"https://ex\u00E4mple.com/x", false},      // non-ASCII host
      {L"https://example.com/\u00E4", true},       // non-ASCII path
      {L"https://example.com/a\nb", false},        // no line break in the path
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidUrl(c.text), c.complete) << testing::PrintToString(c.text);
}

// A URL from the server is checked in linear time and stack: a long one and
// one that nearly matches in many ways neither crash nor hang the wizard.
TEST(IsValidUrl, CopesWithLongAndHostileUrls) {
  std::wstring nearMatch = L"https://";
  for (int i = 0; i < 40; ++i) nearMatch += L"a.";
  nearMatch += L"!";
  const std::wstring dots(40, L'.');
  struct Case {
    std::wstring text;
    bool complete;
  };
  const Case cases[] = {
      {L"https://example.com/" + std::wstring(200'000, L'a'), true},
      {L"https://" + std::wstring(200'000, L'a') + L".com/x", true},
      {nearMatch, false},
      {nearMatch + L"/x", false},
      {L"https://a" + dots + L"b", true},
      {L"https://" + dots, true},  // dots alone are host characters
      {L"https://.a", false},
      {L"https://a.", false},
      {L"https://a..", true},
      {L"https://a.b\r", false},
      {L"https://a.b/\r", false},
      {L"http://https://a.b", false},
      {L"https//a.b", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidUrl(c.text), c.complete) << c.text.size();
}

// Every short text over the characters that matter agrees with the pattern
// the check stands for, compiled as a regular expression.
TEST(IsValidUrl, AgreesWithItsPatternOnEveryShortText) {
  const std::regex pattern(R"(^((http|https):\/\/)?([\w.-]+)(\.[\w.-]+)+([\/?#].*)?$)", std::regex::ECMAScript);
  const std::wstring alphabet = L"a_.-/?#:\n";
  const std::vector<std::wstring> prefixes = {L"", L"http://", L"https://", L"http:/", L"ftp://", L"a."};
  std::vector<std::wstring> texts = {L""};
  for (std::size_t begin = 0, length = 1; length <= 4; ++length) {
    const std::size_t end = texts.size();
    for (std::size_t i = begin; i < end; ++i) {
      for (wchar_t c : alphabet) texts.push_back(texts[i] + c);
    }
    begin = end;
  }
  int disagreements = 0;
  for (const auto& prefix : prefixes) {
    for (const auto& suffix : texts) {
      const std::wstring text = prefix + suffix;
      const bool expected = std::regex_match(std::string(text.begin(), text.end()), pattern);
      if (IsValidUrl(text) != expected && ++disagreements <= 10) ADD_FAILURE() << testing::PrintToString(text);
    }
  }
  EXPECT_EQ(disagreements, 0);
}
