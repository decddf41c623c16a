#include "platform/posix/HttpUrl.h"

#include <algorithm>
#include <cwctype>

#include "util/Utf8.h"

namespace platform::posix {
namespace {

bool StartsWithNoCase(const std::wstring& text, std::wstring_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (static_cast<wchar_t>(std::towlower(static_cast<wint_t>(text[i]))) != prefix[i]) return false;
  }
  return true;
}

bool ParsePort(std::wstring_view digits, std::uint16_t& port) {
  if (digits.empty() || digits.size() > 5) return false;
  std::uint32_t value = 0;
  for (wchar_t c : digits) {
    if (c < L'0' || c > L'9') return false;
    value = value * 10 + static_cast<std::uint32_t>(c - L'0');
  }
  if (value == 0 || value > 65535) return false;
  port = static_cast<std::uint16_t>(value);
  return true;
}

}  // namespace

Win32Error CrackHttpUrl(const std::wstring& url, UrlParts& parts) {
  UrlParts result;
  std::size_t rest = 0;
  if (StartsWithNoCase(url, L"https://")) {
    result.scheme = url.substr(0, 5);
    result.secure = true;
    result.port = 443;
    rest = 8;
  } else if (StartsWithNoCase(url, L"http://")) {
    result.scheme = url.substr(0, 4);
    result.port = 80;
    rest = 7;
  } else {
    const std::size_t colon = url.find(L':');
    return colon != std::wstring::npos && colon > 0 ? kErrorWinHttpUnrecognizedScheme : kErrorWinHttpInvalidUrl;
  }

  const std::size_t authorityEnd = std::min(url.find_first_of(L"/?#", rest), url.size());
  std::wstring_view authority(url.data() + rest, authorityEnd - rest);
  if (const std::size_t at = authority.rfind(L'@'); at != std::wstring_view::npos) authority.remove_prefix(at + 1);

  std::size_t portColon = std::wstring_view::npos;
  if (!authority.empty() && authority.front() == L'[') {
    const std::size_t close = authority.find(L']');
    if (close == std::wstring_view::npos) return kErrorWinHttpInvalidUrl;
    if (close + 1 < authority.size()) {
      if (authority[close + 1] != L':') return kErrorWinHttpInvalidUrl;
      portColon = close + 1;
    }
  } else {
    portColon = authority.find(L':');
  }
  if (portColon != std::wstring_view::npos) {
    if (!ParsePort(authority.substr(portColon + 1), result.port)) return kErrorWinHttpInvalidUrl;
    authority = authority.substr(0, portColon);
  }
  if (authority.empty()) return kErrorWinHttpInvalidUrl;
  result.host = std::wstring(authority);

  const std::size_t extra = std::min(url.find_first_of(L"?#", authorityEnd), url.size());
  result.path = url.substr(authorityEnd, extra - authorityEnd);
  result.extraInfo = url.substr(extra);
  parts = std::move(result);
  return kErrorSuccess;
}

std::string MakeCurlUrl(bool secure, const std::wstring& host, std::uint16_t port, const std::wstring& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string url = secure ? "https://" : "http://";
  const std::string hostBytes = HeaderTextToBytes(host);
  const bool ipv6 = hostBytes.find(':') != std::string::npos && hostBytes.front() != '[';
  url += ipv6 ? "[" + hostBytes + "]" : hostBytes;
  url += ":" + std::to_string(port);
  if (path.empty() || path.front() != L'/') url += '/';
  for (unsigned char c : WideToUtf8(path)) {
    if (c <= 0x20 || c >= 0x7F) {
      url += '%';
      url += kHex[c >> 4];
      url += kHex[c & 0xF];
    } else {
      url += static_cast<char>(c);
    }
  }
  return url;
}

std::string HeaderTextToBytes(std::wstring_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (wchar_t c : text) bytes += static_cast<std::uint32_t>(c) <= 0xFF ? static_cast<char>(c) : '?';
  return bytes;
}

std::wstring HeaderBytesToText(std::string_view bytes) {
  std::wstring text;
  text.reserve(bytes.size());
  for (unsigned char c : bytes) text += static_cast<wchar_t>(c);
  return text;
}

}  // namespace platform::posix
