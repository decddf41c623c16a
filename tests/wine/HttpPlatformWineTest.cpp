// WinHttpCrackUrl and CNG's SHA-256 under Wine, against the same tables as
// the posix backend, and where transport diagnostics go.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "config/RequestSignature.h"
#include "platform/win32/Win32DebugOutput.h"
#include "platform/Sha256.h"
#include "platform/win32/Win32Http.h"
#include "tests/common/CrackUrlCases.h"
#include "tests/common/Sha256Vectors.h"
#include "util/Utf8.h"

// WinHttpCrackUrl splits URLs as the posix backend does.
TEST(WinHttpCrackUrl, SplitsLikeThePosixBackend) {
  platform::win32::Win32Http http;
  for (const auto& c : testcases::CrackUrlCases()) {
    platform::UrlParts parts;
    const platform::Win32Error error = http.CrackUrl(c.url, parts);
    ASSERT_EQ(error != platform::kErrorSuccess, c.error != platform::kErrorSuccess) << WideToUtf8(c.url);
    if (c.error) continue;
    testcases::ExpectParts(c, parts);
  }
}

// CNG gives the FIPS 180-4 digests.
TEST(CngSha256, MatchesTheStandardVectors) {
  for (const auto& c : testcases::Sha256Vectors())
    EXPECT_EQ(Sha256Hex(c.message), c.digest) << c.message.size() << " bytes";
}

// Fed in pieces, as a download is while it is written, CNG gives the same
// digests, whatever the pieces' size against its 64-byte blocks.
TEST(CngSha256, DigestsBytesThatArriveInPieces) {
  for (const auto& c : testcases::Sha256Vectors()) {
    for (const std::size_t piece : {std::size_t{3}, std::size_t{64}, std::size_t{65}, std::size_t{4096}}) {
      platform::Sha256Hasher hasher;
      for (std::size_t offset = 0; offset < c.message.size(); offset += piece)
        hasher.Update(c.message.data() + offset, std::min(piece, c.message.size() - offset));
      std::string hex;
      for (const std::uint8_t byte : hasher.Finish()) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02x", byte);
        hex += digits;
      }
      EXPECT_EQ(hex, c.digest) << c.message.size() << " bytes in pieces of " << piece;
    }
  }
}

// Transport diagnostics reach standard output, one line each.
TEST(Win32DebugOutput, WritesDiagnosticsAsLinesOnStandardOutput) {
  platform::win32::Win32DebugOutput output;
  testing::internal::CaptureStdout();
  output.WriteDiagnostic("Error 12002 in WinHttpReadData.");
  output.WriteDiagnostic("Out of memory");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error 12002 in WinHttpReadData.\nOut of memory\n");
}
