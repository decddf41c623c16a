#include "server/TlsServer.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <stdexcept>
#include <vector>

#include <nlohmann/json.hpp>

namespace {

constexpr std::string_view kInterimContinue = "HTTP/1.1 100 Continue\r\n\r\n";

void SetTimeout(int sock, int option, time_t seconds) {
  timeval timeout{seconds, 0};
  ::setsockopt(sock, SOL_SOCKET, option, &timeout, sizeof timeout);
}

bool WaitReadable(int sock, int milliseconds) {
  pollfd wait{sock, POLLIN, 0};
  return ::poll(&wait, 1, milliseconds) > 0;
}

// One TLS connection as the library's stream. Reads and writes block, up
// to the socket's time-outs. It keeps what it reads of a request's head,
// from StartHead to the blank line that ends the headers.
class TlsStream : public httplib::Stream {
 public:
  TlsStream(SSL* ssl, int sock, time_t readTimeout) : ssl(ssl), sock(sock), readTimeout(readTimeout) {}

  bool is_readable() const override {
    return SSL_pending(ssl) > 0 || WaitReadable(sock, static_cast<int>(readTimeout * 1000));
  }
  bool is_writable() const override {
    pollfd wait{sock, POLLOUT, 0};
    return ::poll(&wait, 1, 0) >= 0;
  }
  ssize_t read(char* data, size_t size) override {
    const int count = SSL_read(ssl, data, static_cast<int>(std::min<size_t>(size, 1 << 30)));
    if (count > 0 && readingHead) {
      head.append(data, static_cast<size_t>(count));
      if (const size_t end = head.find("\r\n\r\n"); end != std::string::npos) {
        head.resize(end);
        readingHead = false;
      }
    }
    return count > 0 ? count : -1;
  }
  ssize_t write(const char* data, size_t size) override {
    if (std::string_view(data, size) == kInterimContinue) return static_cast<ssize_t>(size);
    const int count = SSL_write(ssl, data, static_cast<int>(std::min<size_t>(size, 1 << 30)));
    return count > 0 ? count : -1;
  }
  void get_remote_ip_and_port(std::string& ip, int& port) const override { Address(::getpeername, ip, port); }
  void get_local_ip_and_port(std::string& ip, int& port) const override { Address(::getsockname, ip, port); }
  socket_t socket() const override { return sock; }

  void StartHead() {
    head.clear();
    readingHead = true;
  }
  // The header lines of the head read last, without the request line.
  std::vector<std::string> HeaderLines() const {
    std::vector<std::string> lines;
    for (size_t start = head.find("\r\n"); start != std::string::npos;) {
      start += 2;
      const size_t end = head.find("\r\n", start);
      lines.push_back(head.substr(start, end == std::string::npos ? std::string::npos : end - start));
      start = end;
    }
    return lines;
  }

 private:
  template <typename Query>
  void Address(Query query, std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    char text[NI_MAXHOST] = {};
    port = 0;
    if (query(sock, reinterpret_cast<sockaddr*>(&address), &length) != 0) return;
    char service[NI_MAXSERV] = {};
    if (::getnameinfo(reinterpret_cast<sockaddr*>(&address), length, text, sizeof text, service, sizeof service,
                      NI_NUMERICHOST | NI_NUMERICSERV) == 0) {
      ip = text;
      port = std::atoi(service);
    }
  }

  SSL* ssl;
  int sock;
  time_t readTimeout;
  std::string head;
  bool readingHead = false;
};

}  // namespace

TlsServer::TlsServer(const std::string& certificate, const std::string& key) {
  context = SSL_CTX_new(TLS_server_method());
  if (!context) throw std::runtime_error("cannot create a TLS context");
  SSL_CTX_set_options(context, SSL_OP_NO_COMPRESSION | SSL_OP_NO_SESSION_RESUMPTION_ON_RENEGOTIATION);
  if (SSL_CTX_use_certificate_chain_file(context, certificate.c_str()) != 1 ||
      SSL_CTX_use_PrivateKey_file(context, key.c_str(), SSL_FILETYPE_PEM) != 1 ||
      SSL_CTX_check_private_key(context) != 1) {
    SSL_CTX_free(context);
    throw std::runtime_error("cannot use certificate " + certificate + " with key " + key);
  }
}

TlsServer::~TlsServer() { SSL_CTX_free(context); }

void TlsServer::WidenBacklog() { ::listen(svr_sock_, SOMAXCONN); }

bool TlsServer::process_and_close_socket(socket_t sock) {
  SetTimeout(sock, SO_RCVTIMEO, read_timeout_sec_);
  SetTimeout(sock, SO_SNDTIMEO, write_timeout_sec_);
  SSL* ssl = SSL_new(context);
  bool ok = false;
  if (ssl && SSL_set_fd(ssl, sock) == 1 && SSL_accept(ssl) == 1) {
    TlsStream stream(ssl, sock, read_timeout_sec_);
    for (std::size_t left = keep_alive_max_count_; left > 0 && svr_sock_ != INVALID_SOCKET; --left) {
      // Wait for the next request of a kept-alive connection, a little at a
      // time so that stopping the server is not held up.
      const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(keep_alive_timeout_sec_);
      bool ready = SSL_pending(ssl) > 0;
      while (!ready && svr_sock_ != INVALID_SOCKET && std::chrono::steady_clock::now() < end)
        ready = WaitReadable(sock, 100);
      if (!ready) break;
      bool closed = false;
      stream.StartHead();
      ok = process_request(stream, left == 1, closed, [&stream](httplib::Request& request) {
        request.headers.erase(kHeaderLinesHeader);  // never one a client sent
        request.headers.emplace(kHeaderLinesHeader, nlohmann::json(stream.HeaderLines())
                                                         .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
      });
      if (!ok || closed) break;
    }
    if (ok) SSL_shutdown(ssl);
  }
  SSL_free(ssl);
  ::shutdown(sock, SHUT_RDWR);
  ::close(sock);
  return ok;
}
