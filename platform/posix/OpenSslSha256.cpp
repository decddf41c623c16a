#include <openssl/evp.h>

#include <stdexcept>

#include "platform/Sha256.h"
#include "platform/posix/OpenSslLifetime.h"

namespace platform {

struct Sha256Hasher::State {
  State() {
    posix::KeepOpenSslUntilProcessEnd();
    context = EVP_MD_CTX_new();
  }
  EVP_MD_CTX* context = nullptr;
  ~State() { EVP_MD_CTX_free(context); }
};

namespace {
[[noreturn]] void Unavailable() { throw std::runtime_error("SHA-256 is not available"); }
}  // namespace

Sha256Hasher::Sha256Hasher() : state(std::make_unique<State>()) {
  if (!state->context || !EVP_DigestInit_ex(state->context, EVP_sha256(), nullptr)) Unavailable();
}

Sha256Hasher::~Sha256Hasher() = default;

void Sha256Hasher::Update(const void* data, std::size_t size) {
  if (size && !EVP_DigestUpdate(state->context, data, size)) Unavailable();
}

Sha256Digest Sha256Hasher::Finish() {
  Sha256Digest digest{};
  unsigned int size = 0;
  if (!EVP_DigestFinal_ex(state->context, digest.data(), &size) || size != digest.size()) Unavailable();
  return digest;
}

Sha256Digest Sha256(std::string_view data) {
  Sha256Hasher hasher;
  hasher.Update(data.data(), data.size());
  return hasher.Finish();
}

}  // namespace platform
