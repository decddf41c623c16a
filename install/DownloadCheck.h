// What a downloaded program or archive must pass before it is kept: its body
// is no web page (the sign-in page of a hotel or airport network answers any
// URL with one), and when the answer gave its SHA-256 digest, its bytes have
// that digest. Fed the body as it arrives, so neither needs the file again.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/Sha256.h"

class DownloadCheck {
 public:
  // `expectedSha256`: the digest in hexadecimal (either case), or empty when
  // the answer gave none.
  explicit DownloadCheck(std::string expectedSha256);

  // The next bytes of the body.
  void Add(const char* data, std::size_t size);

  // The body starts, after optional white space (and a UTF-8 byte order
  // mark), with "<!DOCTYPE html" or "<html" in any case. Judged by the bytes
  // only: servers get the content type wrong for real programs. False while
  // the start seen so far could still become either.
  bool IsWebPage() const { return state == Start::WebPage; }

  // After the last Add: true without an expected digest, else whether the
  // body's digest is the expected one. A digest that is not 64 hexadecimal
  // digits never matches. Call once.
  bool DigestMatches();

 private:
  enum class Start { WhiteSpace, Marker, WebPage, Other };

  std::string expected;
  std::unique_ptr<platform::Sha256Hasher> hasher;  // only with an expected digest
  Start state = Start::WhiteSpace;
  std::size_t bomMatched = 0;
  std::string marker;  // the body's first bytes after the white space, lower case
};
