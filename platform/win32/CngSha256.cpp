// CNG in the form Windows Vista and 7 have: BCryptHash, the one-call form,
// exists only from Windows 10 on, and an import the system lacks would keep
// the program from starting.
#include <windows.h>
#include <bcrypt.h>

#include <algorithm>
#include <stdexcept>

#include "platform/Sha256.h"

namespace platform {
namespace {

struct Algorithm {
  BCRYPT_ALG_HANDLE handle = nullptr;
  ~Algorithm() {
    if (handle) ::BCryptCloseAlgorithmProvider(handle, 0);
  }
};

struct Hash {
  BCRYPT_HASH_HANDLE handle = nullptr;
  ~Hash() {
    if (handle) ::BCryptDestroyHash(handle);
  }
};

bool Succeeded(NTSTATUS status) { return status >= 0; }

}  // namespace

Sha256Digest Sha256(std::string_view data) {
  Algorithm algorithm;
  Hash hash;
  Sha256Digest digest{};
  // Fed in pieces: BCryptHashData takes a 32-bit length.
  bool ok = Succeeded(::BCryptOpenAlgorithmProvider(&algorithm.handle, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) &&
            Succeeded(::BCryptCreateHash(algorithm.handle, &hash.handle, nullptr, 0, nullptr, 0, 0));
  for (std::size_t offset = 0; ok && offset < data.size();) {
    const ULONG piece = static_cast<ULONG>(std::min<std::size_t>(data.size() - offset, 0x40000000));
    ok = Succeeded(::BCryptHashData(hash.handle, reinterpret_cast<PUCHAR>(const_cast<char*>(data.data() + offset)),
                                    piece, 0));
    offset += piece;
  }
  ok = ok && Succeeded(::BCryptFinishHash(hash.handle, digest.data(), static_cast<ULONG>(digest.size()), 0));
  if (!ok) throw std::runtime_error("SHA-256 is not available");
  return digest;
}

}  // namespace platform
