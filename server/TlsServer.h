// cpp-httplib's server over TLS of our own, for three things its TLS server
// does not do: it never sends an interim "100 Continue" (Wine's WinHTTP
// cannot read one, and HTTP lets a server skip it and read the body at
// once), it listens with room for a burst of connections, and it keeps each
// request's header lines as they came (the library's header map sorts
// them by name).
#pragma once

#include <httplib.h>
#include <openssl/ssl.h>

#include <string>

// The pseudo-header under which a request carries its header lines as they
// came, in order, as a JSON array of texts (like the library's REMOTE_ADDR).
inline constexpr char kHeaderLinesHeader[] = "BRIMVALE_HEADER_LINES";

class TlsServer : public httplib::Server {
 public:
  // Throws std::runtime_error when the certificate chain or key cannot be used.
  TlsServer(const std::string& certificate, const std::string& key);
  ~TlsServer() override;

  // After bind: a deeper queue of pending connections than the library's 5.
  void WidenBacklog();

 private:
  bool process_and_close_socket(socket_t sock) override;

  SSL_CTX* context = nullptr;
};
