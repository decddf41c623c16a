#include "platform/posix/HttpUrl.h"

#include <gtest/gtest.h>

#include "tests/common/CrackUrlCases.h"
#include "util/Utf8.h"

using platform::posix::CrackHttpUrl;
using platform::posix::MakeCurlUrl;

// URLs split as WinHttpCrackUrl splits them.
TEST(HttpUrl, CracksLikeWinHttp) {
  for (const auto& c : testcases::CrackUrlCases()) {
    platform::UrlParts parts;
    ASSERT_EQ(CrackHttpUrl(c.url, parts), c.error) << WideToUtf8(c.url);
    if (c.error) continue;
    testcases::ExpectParts(c, parts);
  }
}

// The URL handed to libcurl names host and port explicitly and escapes
// what may not stand in a URL, keeping dot segments and query text as given.
TEST(HttpUrl, BuildsTheTransferUrl) {
  EXPECT_EQ(MakeCurlUrl(true, L"cdn.brimvale.com", 443, L"/o"), "https://cdn.brimvale.com:443/o");
  EXPECT_EQ(MakeCurlUrl(false, L"::1", 80, L"/a b/\u00e9/../x?q=1"), "http://[::1]:80/a%20b/%C3%A9/../x?q=1");
  EXPECT_EQ(MakeCurlUrl(true, L"host", 443, L""), "https://host:443/");
}
