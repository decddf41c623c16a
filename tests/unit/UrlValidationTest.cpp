#include "util/UrlValidation.h"

#include <gtest/gtest.h>

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
