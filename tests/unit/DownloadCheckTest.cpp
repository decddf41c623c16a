// What a download must pass before it is kept: no web page where a program
// was expected, and the answer's digest when it gave one.
#include "install/DownloadCheck.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <utility>

namespace {

const std::string kAbcDigest = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

// The verdict on `body` fed whole and fed one byte at a time.
std::pair<bool, bool> WebPageVerdicts(const std::string& body) {
  DownloadCheck whole("");
  whole.Add(body.data(), body.size());
  DownloadCheck bytewise("");
  for (char c : body) bytewise.Add(&c, 1);
  return {whole.IsWebPage(), bytewise.IsWebPage()};
}

// Judged by the body's first bytes after white space, in any case; programs, archives and near misses pass.
TEST(DownloadCheck, TellsWebPagesFromProgramsByTheirFirstBytes) {
  const struct {
    std::string body;
    bool webPage;
  } cases[] = {
      {"<!DOCTYPE html><html><body>Sign in to the hotel network</body></html>", true},
      {"<!doctype HTML>", true},
      {"<html lang=\"en\">", true},
      {"<HTML>", true},
      {" \t\r\n\f\v<html>", true},
      {"\xEF\xBB\xBF\n<!DocType Html>", true},
      {"MZ\x90\0\x03\0\0\0<html>", false},           // a program that holds a page
      {"PK\x03\x04<!DOCTYPE html>", false},          // an archive
      {"<!DOCTYPE htm", false},                      // ends before the marker is whole
      {"<htm", false},
      {"<!DOCTYPE xml>", false},
      {"<?xml version=\"1.0\"?><html>", false},
      {"   ", false},
      {"", false},
      {"\xEF\xBB<html>", false},                     // a broken byte order mark
      {std::string("\0<html>", 7), false},
  };
  for (const auto& c : cases) {
    const auto [whole, bytewise] = WebPageVerdicts(c.body);
    EXPECT_EQ(whole, c.webPage) << c.body;
    EXPECT_EQ(bytewise, c.webPage) << c.body;
  }
}

// Without a digest nothing is checked; with one the bytes must have it, in either case of hexadecimal.
TEST(DownloadCheck, ComparesTheDigestOfAllBytes) {
  std::string upper = kAbcDigest;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::string oneOff = kAbcDigest;
  oneOff.back() = 'e';
  const struct {
    std::string expected;
    std::string body;
    bool matches;
  } cases[] = {
      {"", "abc", true},
      {kAbcDigest, "abc", true},
      {upper, "abc", true},
      {kAbcDigest, "abd", false},
      {kAbcDigest, "ab", false},
      {oneOff, "abc", false},
      {kAbcDigest.substr(0, 63), "abc", false},           // too short
      {kAbcDigest + "0", "abc", false},                   // too long
      {"zz" + kAbcDigest.substr(2), "abc", false},        // no hexadecimal
      {" " + kAbcDigest.substr(1), "abc", false},
      {"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855", "", true},  // the empty file
  };
  for (const auto& c : cases) {
    DownloadCheck check(c.expected);
    // Fed in pieces, as a download arrives.
    for (char byte : c.body) check.Add(&byte, 1);
    EXPECT_EQ(check.DigestMatches(), c.matches) << "'" << c.expected << "' over '" << c.body << "'";
  }
}

}  // namespace
