// The HTTP seam on libcurl. One curl transfer per request, driven through
// the multi interface only while the caller waits in a seam call, so the
// body streams through a small buffer instead of being held in memory.
#pragma once

#include <curl/curl.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/Http.h"
#include "platform/posix/CurlHandles.h"

namespace platform::posix {

// How the backend reaches and trusts servers. The product uses the
// defaults; tests route host names to a loopback server and trust a test CA.
struct PosixHttpSettings {
  // CURLOPT_CONNECT_TO entries, "HOST:PORT:CONNECT-TO-HOST:CONNECT-TO-PORT".
  std::vector<std::string> connectTo;
  // PEM file of the only certificate authorities to trust; empty: the system's.
  std::string caFile;
  // CURLOPT_NOPROXY: hosts reached without the environment's proxy ("*": all).
  std::string noProxy;
  // WinHTTP's defaults: connect 60 s; send and receive 30 s each, here as
  // "30 s without a byte in either direction".
  std::chrono::milliseconds connectTimeout{60'000};
  std::chrono::milliseconds stallTimeout{30'000};
};

// Applies what every transfer of the posix backends shares: routing, trust,
// always-on peer and host verification, time-outs, proxies, HTTP/1.1, no
// signals, no redirects followed.
void ApplyCurlSettings(CURL* curl, const PosixHttpSettings& settings, curl_slist* connectTo);

// libcurl's result of a transfer as the Win32 error WinHTTP gives for it.
Win32Error WinHttpErrorFromCurl(CURLcode code);

// The connect-to list of the settings as libcurl takes it.
CurlList MakeConnectToList(const PosixHttpSettings& settings);

class PosixHttp : public Http {
 public:
  explicit PosixHttp(PosixHttpSettings settings = {});

  Win32Error OpenSession(const std::optional<std::wstring>& userAgent, std::uint32_t accessType,
                         std::unique_ptr<HttpSession>& session) override;
  Win32Error CrackUrl(const std::wstring& url, UrlParts& parts) override;
  Win32Error LastError() override;

  const PosixHttpSettings& Settings() const { return settings; }

 private:
  PosixHttpSettings settings;
};

}  // namespace platform::posix
