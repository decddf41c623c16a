#include "config/RequestSignature.h"

#include <gtest/gtest.h>

#include <regex>

#include "tests/common/Sha256Vectors.h"
#include "util/Utf8.h"

// The FIPS 180-4 example messages give their published digests.
TEST(Sha256Hex, MatchesTheStandardVectors) {
  for (const auto& c : testcases::Sha256Vectors())
    EXPECT_EQ(Sha256Hex(c.message), c.digest) << c.message.size() << " bytes";
}

// Only the concatenation of user id and session id is signed.
TEST(MakeSignatureHeader, SignsTheConcatenatedIds) {
  const HttpHeader header = MakeSignatureHeader("ab", "c");
  EXPECT_EQ(header.first, L"Authorization");
  EXPECT_EQ(header.second, L"Signature=" + Utf8ToWide(Sha256Hex("abc")));
  EXPECT_EQ(MakeSignatureHeader("a", "bc"), header);
  EXPECT_TRUE(std::regex_match(WideToUtf8(MakeSignatureHeader("", "").second), std::regex("Signature=[0-9a-f]{64}")));
}
