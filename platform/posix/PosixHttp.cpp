#include "platform/posix/PosixHttp.h"

#include <mutex>

#include "platform/posix/CurlHttpRequest.h"
#include "platform/posix/HttpUrl.h"
#include "platform/posix/OpenSslLifetime.h"

namespace platform::posix {
namespace {

struct SessionState {
  std::shared_ptr<const PosixHttpSettings> settings;
  std::optional<std::string> userAgent;
  bool useProxy = true;
  std::uint32_t secureProtocols = 0;
};

class CurlHttpConnection : public HttpConnection {
 public:
  CurlHttpConnection(std::shared_ptr<const SessionState> session, std::wstring host, std::uint16_t port)
      : session(std::move(session)), host(std::move(host)), port(port) {}

  Win32Error OpenRequest(const std::wstring& verb, const std::wstring& path, std::uint32_t flags,
                         std::unique_ptr<HttpRequest>& request) override {
    if (verb.empty()) return SetLastHttpError(kErrorInvalidParameter);
    request = std::make_unique<CurlHttpRequest>(CurlRequestSetup{
        .settings = session->settings,
        .userAgent = session->userAgent,
        .useProxy = session->useProxy,
        .secureProtocols = session->secureProtocols,
        .url = MakeCurlUrl((flags & kHttpFlagSecure) != 0, host, port, path),
        .verb = HeaderTextToBytes(verb),
        .refresh = (flags & kHttpFlagRefresh) != 0,
    });
    return kErrorSuccess;
  }

 private:
  std::shared_ptr<const SessionState> session;
  std::wstring host;
  std::uint16_t port;
};

class CurlHttpSession : public HttpSession {
 public:
  explicit CurlHttpSession(SessionState state) : state(std::make_shared<SessionState>(std::move(state))) {}

  Win32Error SetSecureProtocols(std::uint32_t protocols) override {
    if (!(protocols & (kSecureProtocolTls1 | kSecureProtocolTls1_1 | kSecureProtocolTls1_2)))
      return SetLastHttpError(kErrorInvalidParameter);
    // Connections opened from now on see the new value; older ones keep theirs.
    auto changed = std::make_shared<SessionState>(*state);
    changed->secureProtocols = protocols;
    state = std::move(changed);
    return kErrorSuccess;
  }

  Win32Error Connect(const std::wstring& host, std::uint16_t port,
                     std::unique_ptr<HttpConnection>& connection) override {
    if (host.empty()) return SetLastHttpError(kErrorInvalidParameter);
    connection = std::make_unique<CurlHttpConnection>(state, host, port == 0 ? 80 : port);
    return kErrorSuccess;
  }

 private:
  std::shared_ptr<const SessionState> state;
};

}  // namespace

void ApplyCurlSettings(CURL* curl, const PosixHttpSettings& settings, curl_slist* connectTo) {
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
  // WinHTTP sends the body with the headers even when the caller asks the
  // server to confirm first ("Expect: 100-continue").
  curl_easy_setopt(curl, CURLOPT_EXPECT_100_TIMEOUT_MS, 0L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  if (!settings.caFile.empty()) {
    curl_easy_setopt(curl, CURLOPT_CAINFO, settings.caFile.c_str());
    curl_easy_setopt(curl, CURLOPT_CAPATH, nullptr);
  }
  if (connectTo) curl_easy_setopt(curl, CURLOPT_CONNECT_TO, connectTo);
  if (!settings.noProxy.empty()) curl_easy_setopt(curl, CURLOPT_NOPROXY, settings.noProxy.c_str());
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(settings.connectTimeout.count()));
  // A transfer that moves no byte for the stall time is given up, like
  // WinHTTP's send and receive time-outs.
  const long stallSeconds = static_cast<long>((settings.stallTimeout.count() + 999) / 1000);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, stallSeconds > 0 ? stallSeconds : 1L);
}

CurlList MakeConnectToList(const PosixHttpSettings& settings) {
  CurlList list;
  for (const std::string& entry : settings.connectTo) AppendToList(list, entry);
  return list;
}

Win32Error WinHttpErrorFromCurl(CURLcode code) {
  switch (code) {
    case CURLE_OK: return kErrorSuccess;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: return kErrorWinHttpNameNotResolved;
    case CURLE_COULDNT_CONNECT: return kErrorWinHttpCannotConnect;
    case CURLE_OPERATION_TIMEDOUT: return kErrorWinHttpTimeout;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_INVALIDCERTSTATUS: return kErrorWinHttpSecureFailure;
    case CURLE_GOT_NOTHING:
    case CURLE_WEIRD_SERVER_REPLY: return kErrorWinHttpInvalidServerResponse;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_PARTIAL_FILE: return kErrorWinHttpConnectionError;
    case CURLE_URL_MALFORMAT: return kErrorWinHttpInvalidUrl;
    case CURLE_OUT_OF_MEMORY: return kErrorNotEnoughMemory;
    case CURLE_ABORTED_BY_CALLBACK: return kErrorWinHttpOperationCancelled;
    default: return kErrorWinHttpInternalError;
  }
}

PosixHttp::PosixHttp(PosixHttpSettings settings) : settings(std::move(settings)) {
  static std::once_flag initialised;
  std::call_once(initialised, [] {
    KeepOpenSslUntilProcessEnd();
    curl_global_init(CURL_GLOBAL_DEFAULT);
  });
}

Win32Error PosixHttp::OpenSession(const std::optional<std::wstring>& userAgent, std::uint32_t accessType,
                                  std::unique_ptr<HttpSession>& session) {
  session = std::make_unique<CurlHttpSession>(SessionState{
      .settings = std::make_shared<const PosixHttpSettings>(settings),
      .userAgent = userAgent ? std::optional<std::string>(HeaderTextToBytes(*userAgent)) : std::nullopt,
      .useProxy = accessType != kHttpAccessTypeNoProxy,
  });
  return kErrorSuccess;
}

Win32Error PosixHttp::CrackUrl(const std::wstring& url, UrlParts& parts) {
  return SetLastHttpError(CrackHttpUrl(url, parts));
}

Win32Error PosixHttp::LastError() { return LastHttpError(); }

}  // namespace platform::posix
