// The posix counterpart of WinHttpCrackUrl, and the URL libcurl is given
// for a request.
#pragma once

#include <string>

#include "platform/Http.h"

namespace platform::posix {

// Splits an absolute http or https URL as WinHttpCrackUrl does: the scheme
// is matched without regard to case, user name and password are dropped,
// the port defaults by scheme. Returns kErrorWinHttpUnrecognizedScheme or
// kErrorWinHttpInvalidUrl for what is no such URL.
Win32Error CrackHttpUrl(const std::wstring& url, UrlParts& parts);

// "scheme://host:port/path" for libcurl. Bytes that may not stand in a URL
// (controls, space, non-ASCII as UTF-8) are percent-encoded, the way WinHTTP
// escapes a path before sending it; everything else is kept as given.
std::string MakeCurlUrl(bool secure, const std::wstring& host, std::uint16_t port, const std::wstring& path);

// Latin-1 narrowing and widening of header text, as WinHTTP does for
// header lines; characters above U+00FF become '?'.
std::string HeaderTextToBytes(std::wstring_view text);
std::wstring HeaderBytesToText(std::string_view bytes);

}  // namespace platform::posix
