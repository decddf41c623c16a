// SHA-256 (FIPS 180-4) on the platform's own crypto: CNG on Windows,
// OpenSSL's libcrypto natively.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace platform {

using Sha256Digest = std::array<std::uint8_t, 32>;

// The digest of the bytes of `data`. Throws std::runtime_error only when
// the platform's crypto provider cannot be used at all.
Sha256Digest Sha256(std::string_view data);

}  // namespace platform
