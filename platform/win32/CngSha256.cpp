// CNG in the form Windows Vista and 7 have: BCryptHash, the one-call form,
// exists only from Windows 10 on, and an import the system lacks would keep
// the program from starting.
#include <windows.h>
#include <bcrypt.h>

#include <algorithm>
#include <stdexcept>

#include "platform/Sha256.h"

namespace platform {

struct Sha256Hasher::State {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  ~State() {
    if (hash) ::BCryptDestroyHash(hash);
    if (algorithm) ::BCryptCloseAlgorithmProvider(algorithm, 0);
  }
};

namespace {
bool Succeeded(NTSTATUS status) { return status >= 0; }
[[noreturn]] void Unavailable() { throw std::runtime_error("SHA-256 is not available"); }
}  // namespace

Sha256Hasher::Sha256Hasher() : state(std::make_unique<State>()) {
  if (!Succeeded(::BCryptOpenAlgorithmProvider(&state->algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
      !Succeeded(::BCryptCreateHash(state->algorithm, &state->hash, nullptr, 0, nullptr, 0, 0)))
    Unavailable();
}

Sha256Hasher::~Sha256Hasher() = default;

void Sha256Hasher::Update(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const UCHAR*>(data);
  // Fed in pieces: BCryptHashData takes a 32-bit length.
  for (std::size_t offset = 0; offset < size;) {
    const ULONG piece = static_cast<ULONG>(std::min<std::size_t>(size - offset, 0x40000000));
    if (!Succeeded(::BCryptHashData(state->hash, const_cast<PUCHAR>(bytes + offset), piece, 0))) Unavailable();
    offset += piece;
  }
}

Sha256Digest Sha256Hasher::Finish() {
  Sha256Digest digest{};
  if (!Succeeded(::BCryptFinishHash(state->hash, digest.data(), static_cast<ULONG>(digest.size()), 0)))
    Unavailable();
  return digest;
}

Sha256Digest Sha256(std::string_view data) {
  Sha256Hasher hasher;
  hasher.Update(data.data(), data.size());
  return hasher.Finish();
}

}  // namespace platform
