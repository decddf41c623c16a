#include <openssl/evp.h>

#include <stdexcept>

#include "platform/Sha256.h"

namespace platform {

Sha256Digest Sha256(std::string_view data) {
  Sha256Digest digest{};
  unsigned int size = 0;
  if (!EVP_Digest(data.data(), data.size(), digest.data(), &size, EVP_sha256(), nullptr) || size != digest.size())
    throw std::runtime_error("SHA-256 is not available");
  return digest;
}

}  // namespace platform
