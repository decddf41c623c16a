// The signature every event report carries, and the digest it is made of.
#pragma once

#include <string>
#include <string_view>

#include "config/HttpHeaders.h"

// SHA-256 of the bytes of `text` as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view text);

// ("Authorization", "Signature=" + Sha256Hex(userId + sessionId)). Only the
// concatenated text enters the digest: no key, no separator.
HttpHeader MakeSignatureHeader(const std::string& userId, const std::string& sessionId);
