// The wizard's JSON client: one HTTPS POST of a JSON text with extra
// headers, answered by a status code and a body. Used by the configuration
// request and the event reports, from worker threads; calls share nothing
// and may run in parallel.
#pragma once

#include <cstdint>
#include <string>

#include "config/HttpHeaders.h"
#include "platform/Services.h"

// Posts `body` (up to its first NUL byte) to the host and path of `url`,
// always on port 443 with TLS: the URL's scheme, port, query and fragment
// are not used. Sends the caller's headers, then "Expect: 100-continue" and
// "Content-Type: application/json". Appends the answer's body (each chunk up
// to its first NUL byte) to `response` and sets `statusCode` (left as it
// was when the status cannot be read).
//
// Returns true whenever an answer arrived, whatever its status. Throws
// BrimvaleException on exactly Windows 7 without a service pack ("Windows
// version check"), for a URL that cannot be split ("WinHttpCrackUrl") and
// when no answer arrived (the WinHTTP call that failed, with its code).
// Uses services.http, services.system and services.debugOutput.
bool PostJson(const platform::Services& services, const std::wstring& url, const std::string& body,
              HttpHeaders headers, std::string& response, std::uint32_t& statusCode);

// The transport step of PostJson: one POST of `body` to https://host:443 +
// path. Returns false instead of throwing. Diagnostics (a header that could
// not be added, a failed read) go to services.debugOutput->WriteDiagnostic.
bool HttpsPost(const platform::Services& services, const std::wstring& path, const std::wstring& host,
               const std::string& body, HttpHeaders headers, std::string& response, std::uint32_t& statusCode);
