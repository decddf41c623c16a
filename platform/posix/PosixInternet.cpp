#include "platform/posix/PosixInternet.h"

#include "platform/posix/CurlHttpRequest.h"
#include "platform/posix/HttpUrl.h"

namespace platform::posix {
namespace {

// ERROR_INTERNET_SECURITY_CHANNEL_ERROR: WinINet's word for a failed TLS
// handshake or certificate check. Its other codes share WinHTTP's numbers.
constexpr Win32Error kErrorInternetSecurityChannel = 12157;

Win32Error InternetError(Win32Error httpError) {
  return SetLastHttpError(httpError == kErrorWinHttpSecureFailure ? kErrorInternetSecurityChannel : httpError);
}

class CurlInternetResource : public InternetResource {
 public:
  explicit CurlInternetResource(std::unique_ptr<HttpRequest> request) : request(std::move(request)) {}

  Win32Error QueryNumber(InternetQuery query, std::uint32_t& value) override {
    const HttpQuery httpQuery = query == InternetQuery::StatusCode ? HttpQuery::StatusCode : HttpQuery::ContentLength;
    if (const Win32Error error = request->QueryNumber(httpQuery, value)) return InternetError(error);
    return kErrorSuccess;
  }

  Win32Error Read(void* buffer, std::uint32_t size, std::uint32_t& read) override {
    read = 0;
    std::uint32_t available = 0;
    if (const Win32Error error = request->QueryDataAvailable(available)) return InternetError(error);
    if (available == 0) return kErrorSuccess;
    if (const Win32Error error = request->ReadData(buffer, size, read)) return InternetError(error);
    return kErrorSuccess;
  }

 private:
  std::unique_ptr<HttpRequest> request;
};

class CurlInternetSession : public InternetSession {
 public:
  CurlInternetSession(std::shared_ptr<const PosixHttpSettings> settings, std::string userAgent, bool useProxy)
      : settings(std::move(settings)), userAgent(std::move(userAgent)), useProxy(useProxy) {}

  Win32Error OpenUrl(const std::wstring& url, std::uint32_t flags,
                     std::unique_ptr<InternetResource>& resource) override {
    UrlParts parts;
    if (const Win32Error error = CrackHttpUrl(url, parts)) return InternetError(error);
    auto request = std::make_unique<CurlHttpRequest>(CurlRequestSetup{
        .settings = settings,
        .userAgent = userAgent,
        .useProxy = useProxy,
        .url = MakeCurlUrl(parts.secure, parts.host, parts.port, parts.path + parts.extraInfo),
        .verb = "GET",
        .refresh = (flags & kInternetFlagReload) != 0,
        .followRedirects = true,
    });
    if (const Win32Error error = request->Send("")) return InternetError(error);
    if (const Win32Error error = request->ReceiveResponse()) return InternetError(error);
    resource = std::make_unique<CurlInternetResource>(std::move(request));
    return kErrorSuccess;
  }

 private:
  std::shared_ptr<const PosixHttpSettings> settings;
  std::string userAgent;
  bool useProxy;
};

}  // namespace

PosixInternet::PosixInternet(PosixHttpSettings settings)
    : settings(std::make_shared<const PosixHttpSettings>(std::move(settings))) {}

Win32Error PosixInternet::Open(const std::wstring& userAgent, std::uint32_t accessType,
                               std::unique_ptr<InternetSession>& session) {
  // INTERNET_OPEN_TYPE_DIRECT (1) goes without the environment's proxy.
  session = std::make_unique<CurlInternetSession>(settings, HeaderTextToBytes(userAgent), accessType != 1);
  return kErrorSuccess;
}

Win32Error PosixInternet::LastError() { return LastHttpError(); }

}  // namespace platform::posix
