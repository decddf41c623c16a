// The second HTTP client, shaped after WinINet: a URL is opened in one call,
// which sends the GET, follows redirects by itself and receives the final
// response's headers; the body is then read in pieces. Handles close when
// their objects go away. Peers are always verified.
//
// Results are Win32 error codes as WinINet reports them (kErrorSuccess or
// its ERROR_INTERNET_* / ERROR_HTTP_* codes, 12001 and up).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Win32Error.h"

namespace platform {

// InternetOpenW access type: the system's proxy settings (the posix backend
// reads them from the environment).
inline constexpr std::uint32_t kInternetOpenTypePreconfig = 0;
// InternetOpenUrlW flag: fetch from the server, never from a cache.
inline constexpr std::uint32_t kInternetFlagReload = 0x80000000;

// ERROR_HTTP_HEADER_NOT_FOUND.
inline constexpr Win32Error kErrorInternetHeaderNotFound = 12150;
// ERROR_INTERNET_HTTPS_TO_HTTP_ON_REDIR: a redirect from https to http was refused.
inline constexpr Win32Error kErrorInternetHttpsToHttpOnRedirect = 12040;

// What HttpQueryInfoW is asked for as a number (HTTP_QUERY_* info levels).
enum class InternetQuery : std::uint32_t {
  ContentLength = 5,
  StatusCode = 19,
};

class InternetResource {
 public:
  virtual ~InternetResource() = default;  // InternetCloseHandle

  // HttpQueryInfoW with HTTP_QUERY_FLAG_NUMBER. kErrorInternetHeaderNotFound
  // when the header is absent or not a number.
  virtual Win32Error QueryNumber(InternetQuery query, std::uint32_t& value) = 0;

  // InternetReadFile: waits for body bytes and copies up to `size` of them;
  // `read` is 0 at the end of the body.
  virtual Win32Error Read(void* buffer, std::uint32_t size, std::uint32_t& read) = 0;
};

class InternetSession {
 public:
  virtual ~InternetSession() = default;  // InternetCloseHandle

  // InternetOpenUrlW(url, no headers, flags): connection, TLS, redirect and
  // name failures come back here. A redirect from https to http is refused
  // (kErrorInternetHttpsToHttpOnRedirect), whatever the flags say.
  virtual Win32Error OpenUrl(const std::wstring& url, std::uint32_t flags,
                             std::unique_ptr<InternetResource>& resource) = 0;
};

class Internet {
 public:
  virtual ~Internet() = default;

  // InternetOpenW(user agent, access type, no proxy, no bypass list, no flags).
  virtual Win32Error Open(const std::wstring& userAgent, std::uint32_t accessType,
                          std::unique_ptr<InternetSession>& session) = 0;

  // GetLastError() of the calling thread after this seam's last call on it.
  virtual Win32Error LastError() = 0;
};

}  // namespace platform
