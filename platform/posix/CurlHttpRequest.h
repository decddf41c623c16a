// One WinHTTP-shaped request on a libcurl transfer of its own. The caller's
// seam calls drive the transfer: Send until the request is out, Receive
// until the final response's headers are in, QueryDataAvailable/ReadData
// until body bytes are ready. Body bytes wait in a bounded buffer; when it
// is full the transfer pauses until the caller has read.
#pragma once

#include <curl/curl.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Http.h"
#include "platform/posix/CurlHandles.h"
#include "platform/posix/PosixHttp.h"

namespace platform::posix {

// What a request takes from its session and connection when it is opened.
struct CurlRequestSetup {
  std::shared_ptr<const PosixHttpSettings> settings;
  std::optional<std::string> userAgent;
  bool useProxy = true;
  std::uint32_t secureProtocols = 0;  // 0: libcurl's defaults
  std::string url;
  std::string verb;
  bool refresh = false;
  // WinINet's way: redirects are followed by the transfer itself and only
  // the final response is seen; one from https to http fails the transfer
  // with kErrorInternetHttpsToHttpOnRedirect. WinHTTP-shaped requests never
  // follow.
  bool followRedirects = false;
};

// Records `error` as the calling thread's last seam error and returns it.
Win32Error SetLastHttpError(Win32Error error);
Win32Error LastHttpError();

class CurlHttpRequest : public HttpRequest {
 public:
  explicit CurlHttpRequest(CurlRequestSetup setup);
  ~CurlHttpRequest() override;
  CurlHttpRequest(const CurlHttpRequest&) = delete;
  CurlHttpRequest& operator=(const CurlHttpRequest&) = delete;

  Win32Error AddHeader(const std::wstring& line) override;
  Win32Error Send(std::string_view body) override;
  Win32Error ReceiveResponse() override;
  Win32Error QueryNumber(HttpQuery query, std::uint32_t& value) override;
  Win32Error QueryText(HttpQuery query, std::uint32_t bufferBytes, std::wstring& value) override;
  Win32Error QueryDataAvailable(std::uint32_t& available) override;
  Win32Error ReadData(void* buffer, std::uint32_t size, std::uint32_t& read) override;

 private:
  enum class Stage { Opened, Sent, Received };

  static size_t OnHeader(char* data, size_t size, size_t count, void* self);
  static size_t OnBody(char* data, size_t size, size_t count, void* self);

  // Runs the transfer until `done()` holds or the transfer has ended.
  template <typename Done>
  void Drive(Done done);
  bool RequestSent() const;
  std::size_t Unread() const { return pending.size() - pendingOffset; }
  // The transfer's failure as a Win32 error; success when a body cut short
  // after the headers simply ends the body, as WinHTTP reports it.
  Win32Error TransferError() const;
  Win32Error WaitForBody();
  const std::string* FindHeader(std::string_view name) const;
  // The response just received redirects from an https URL to an http one.
  bool RedirectsToPlainHttp() const;
  std::optional<std::string> HeaderText(HttpQuery query) const;

  CurlRequestSetup setup;
  // Declared in this order, the transfer goes first and its lists last.
  CurlList connectTo;
  CurlList requestHeaders;
  CurlMulti multi;
  CurlEasy easy;
  std::vector<std::string> headerLines;
  std::string body;
  Stage stage = Stage::Opened;

  bool headersComplete = false;
  std::uint32_t statusCode = 0;
  std::vector<std::pair<std::string, std::string>> responseHeaders;

  std::string pending;  // body bytes received and not yet read
  std::size_t pendingOffset = 0;
  bool paused = false;
  bool finished = false;
  bool refusedRedirect = false;  // a redirect from https to http stopped the transfer
  CURLcode result = CURLE_OK;
};

}  // namespace platform::posix
