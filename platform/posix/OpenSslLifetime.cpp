#include "platform/posix/OpenSslLifetime.h"

#include <openssl/crypto.h>

#include <stdexcept>

namespace platform::posix {

void KeepOpenSslUntilProcessEnd() {
  // The first initialisation decides whether the atexit handler is registered.
  static const bool initialised = OPENSSL_init_crypto(OPENSSL_INIT_NO_ATEXIT, nullptr) == 1;
  if (!initialised) throw std::runtime_error("OpenSSL cannot be initialised");
}

}  // namespace platform::posix
