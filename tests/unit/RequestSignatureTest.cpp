#include "config/RequestSignature.h"

#include <gtest/gtest.h>

#include <regex>

#include "util/Utf8.h"

// The FIPS 180-4 example messages give their published digests.
TEST(Sha256Hex, MatchesTheStandardVectors) {
  const struct {
    std::string message;
    const char* digest;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1'000'000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& c : cases) EXPECT_EQ(Sha256Hex(c.message), c.digest) << c.message.size() << " bytes";
}

// Only the concatenation of user id and session id is signed.
TEST(MakeSignatureHeader, SignsTheConcatenatedIds) {
  const HttpHeader header = MakeSignatureHeader("ab", "c");
  EXPECT_EQ(header.first, L"Authorization");
  EXPECT_EQ(header.second, L"Signature=" + Utf8ToWide(Sha256Hex("abc")));
  EXPECT_EQ(MakeSignatureHeader("a", "bc"), header);
  EXPECT_TRUE(std::regex_match(WideToUtf8(MakeSignatureHeader("", "").second), std::regex("Signature=[0-9a-f]{64}")));
}
