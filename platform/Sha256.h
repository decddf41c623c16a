// SHA-256 (FIPS 180-4) on the platform's own crypto: CNG on Windows,
// OpenSSL's libcrypto natively.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace platform {

using Sha256Digest = std::array<std::uint8_t, 32>;

// A digest over bytes that arrive in pieces, such as a download as it is
// written. The constructor and Update throw std::runtime_error only when the
// platform's crypto provider cannot be used at all.
class Sha256Hasher {
 public:
  Sha256Hasher();
  ~Sha256Hasher();
  Sha256Hasher(const Sha256Hasher&) = delete;
  Sha256Hasher& operator=(const Sha256Hasher&) = delete;

  void Update(const void* data, std::size_t size);
  // The digest of every byte given so far; call once, after the last Update.
  Sha256Digest Finish();

 private:
  struct State;
  std::unique_ptr<State> state;
};

// The digest of the bytes of `data`.
Sha256Digest Sha256(std::string_view data);

}  // namespace platform
