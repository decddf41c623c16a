// HTTP(S) client, shaped after WinHTTP: a session opens connections, a
// connection opens requests, a request is sent, its response received, its
// headers queried and its body read in the chunks the transport has ready.
// Every handle closes when its object goes away; a request, connection and
// session may be closed in any order (a request keeps what it needs alive).
//
// Results are Win32 error codes as WinHTTP reports them (kErrorSuccess, or
// one of the kErrorWinHttp* codes below, kErrorInsufficientBuffer,
// kErrorInvalidParameter, kErrorNotEnoughMemory).
//
// Requests never follow redirects by themselves: a 3xx answer is handed to
// the caller, who reads its Location header and decides. Peers are always
// verified (certificate chain and host name). Time-outs are WinHTTP's
// defaults: name resolution unlimited, connect 60 s, send 30 s, receive 30 s.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Win32Error.h"

namespace platform {

// WinHTTP's own error codes (ERROR_WINHTTP_*).
inline constexpr Win32Error kErrorWinHttpTimeout = 12002;
inline constexpr Win32Error kErrorWinHttpInternalError = 12004;
inline constexpr Win32Error kErrorWinHttpInvalidUrl = 12005;
inline constexpr Win32Error kErrorWinHttpUnrecognizedScheme = 12006;
inline constexpr Win32Error kErrorWinHttpNameNotResolved = 12007;
inline constexpr Win32Error kErrorWinHttpOperationCancelled = 12017;
inline constexpr Win32Error kErrorWinHttpIncorrectHandleState = 12019;
inline constexpr Win32Error kErrorWinHttpCannotConnect = 12029;
inline constexpr Win32Error kErrorWinHttpConnectionError = 12030;
inline constexpr Win32Error kErrorWinHttpHeaderNotFound = 12150;
inline constexpr Win32Error kErrorWinHttpInvalidServerResponse = 12152;
inline constexpr Win32Error kErrorWinHttpSecureFailure = 12175;

// WinHttpOpen access types (WINHTTP_ACCESS_TYPE_*). Both proxy kinds take
// the system's proxy settings; the posix backend reads them from the
// environment (https_proxy, no_proxy, ...).
inline constexpr std::uint32_t kHttpAccessTypeDefaultProxy = 0;
inline constexpr std::uint32_t kHttpAccessTypeNoProxy = 1;
inline constexpr std::uint32_t kHttpAccessTypeAutomaticProxy = 4;

// WINHTTP_OPTION_SECURE_PROTOCOLS flags.
inline constexpr std::uint32_t kSecureProtocolTls1 = 0x80;
inline constexpr std::uint32_t kSecureProtocolTls1_1 = 0x200;
inline constexpr std::uint32_t kSecureProtocolTls1_2 = 0x800;

// WinHttpOpenRequest flags.
inline constexpr std::uint32_t kHttpFlagRefresh = 0x100;    // WINHTTP_FLAG_REFRESH: no cached answer
inline constexpr std::uint32_t kHttpFlagSecure = 0x800000;  // WINHTTP_FLAG_SECURE: TLS

inline constexpr std::uint16_t kHttpsPort = 443;

// What WinHttpQueryHeaders is asked for (WINHTTP_QUERY_* info levels).
enum class HttpQuery : std::uint32_t {
  ContentLength = 5,
  StatusCode = 19,
  Location = 33,
};

// WinHttpCrackUrl's answer: pieces of the URL as written, without decoding.
struct UrlParts {
  std::wstring scheme;     // "http" or "https"
  bool secure = false;     // the scheme is https
  std::wstring host;       // as written (an IPv6 literal keeps its brackets)
  std::uint16_t port = 0;  // the URL's port, else 80 or 443 by scheme
  std::wstring path;       // from the first '/' up to '?' or '#'; may be empty
  std::wstring extraInfo;  // '?' query and/or '#' fragment, as written; may be empty
};

class HttpRequest {
 public:
  virtual ~HttpRequest() = default;  // WinHttpCloseHandle

  // WinHttpAddRequestHeaders(line, length, WINHTTP_ADDREQ_FLAG_ADD): one
  // "Name: value" line. kErrorInvalidParameter when the line is no header.
  virtual Win32Error AddHeader(const std::wstring& line) = 0;

  // WinHttpSendRequest with no additional headers and `body` as both the
  // optional data and the total length. Connection and TLS failures come
  // back here (kErrorWinHttpCannotConnect, kErrorWinHttpSecureFailure,
  // kErrorWinHttpNameNotResolved, kErrorWinHttpTimeout, ...).
  virtual Win32Error Send(std::string_view body) = 0;

  // WinHttpReceiveResponse: waits until the final response's headers have
  // arrived (kErrorWinHttpTimeout after 30 s without data).
  virtual Win32Error ReceiveResponse() = 0;

  // WinHttpQueryHeaders with WINHTTP_QUERY_FLAG_NUMBER (StatusCode,
  // ContentLength). kErrorWinHttpHeaderNotFound when the header is absent or
  // not a number.
  virtual Win32Error QueryNumber(HttpQuery query, std::uint32_t& value) = 0;

  // WinHttpQueryHeaders as text (Location) into a buffer of `bufferBytes`
  // bytes of UTF-16 (two per character, the terminating NUL included, on
  // every backend: 260 bytes hold 129 characters). kErrorInsufficientBuffer when the
  // value does not fit (nothing is returned then), kErrorWinHttpHeaderNotFound
  // when the header is absent.
  virtual Win32Error QueryText(HttpQuery query, std::uint32_t bufferBytes, std::wstring& value) = 0;

  // WinHttpQueryDataAvailable: blocks until body bytes are ready or the body
  // has ended (0 available). A connection that closes before the announced
  // length ends the body without error.
  virtual Win32Error QueryDataAvailable(std::uint32_t& available) = 0;

  // WinHttpReadData: copies up to `size` ready bytes into `buffer` and says
  // how many in `read` (0 at the end of the body).
  virtual Win32Error ReadData(void* buffer, std::uint32_t size, std::uint32_t& read) = 0;
};

class HttpConnection {
 public:
  virtual ~HttpConnection() = default;  // WinHttpCloseHandle

  // WinHttpOpenRequest(verb, path, no version, no referrer, no accept types,
  // flags): kHttpFlagSecure for TLS, kHttpFlagRefresh to bypass caches.
  // The request will not follow redirects.
  virtual Win32Error OpenRequest(const std::wstring& verb, const std::wstring& path, std::uint32_t flags,
                                 std::unique_ptr<HttpRequest>& request) = 0;
};

class HttpSession {
 public:
  virtual ~HttpSession() = default;  // WinHttpCloseHandle

  // WinHttpSetOption(WINHTTP_OPTION_SECURE_PROTOCOLS, 4 bytes): the TLS
  // versions offered by the connections opened later.
  // kErrorInvalidParameter when no known version is in `protocols`.
  virtual Win32Error SetSecureProtocols(std::uint32_t protocols) = 0;

  // WinHttpConnect(host, port, 0). Nothing goes over the network yet.
  virtual Win32Error Connect(const std::wstring& host, std::uint16_t port,
                             std::unique_ptr<HttpConnection>& connection) = 0;
};

class Http {
 public:
  virtual ~Http() = default;

  // WinHttpOpen(user agent or none, access type, no proxy name, no bypass
  // list, synchronous).
  virtual Win32Error OpenSession(const std::optional<std::wstring>& userAgent, std::uint32_t accessType,
                                 std::unique_ptr<HttpSession>& session) = 0;

  // WinHttpCrackUrl(url, length, no flags). kErrorWinHttpUnrecognizedScheme
  // for a scheme other than http and https, kErrorWinHttpInvalidUrl for
  // anything else that is no absolute URL.
  virtual Win32Error CrackUrl(const std::wstring& url, UrlParts& parts) = 0;

  // GetLastError() of the calling thread: the code of the last failed call
  // of this seam on this thread.
  virtual Win32Error LastError() = 0;
};

}  // namespace platform
