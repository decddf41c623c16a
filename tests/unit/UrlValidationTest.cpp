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
