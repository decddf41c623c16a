#include "platform/win32/Win32Http.h"

#include <windows.h>
#include <winhttp.h>

#include <vector>

#include "platform/win32/UniqueHandle.h"

namespace platform::win32 {

void WinHttpHandleTraits::Close(Type handle) { ::WinHttpCloseHandle(handle); }

namespace {

Win32Error Result(BOOL ok) { return ok ? kErrorSuccess : ::GetLastError(); }

class Win32HttpRequest : public HttpRequest {
 public:
  explicit Win32HttpRequest(WinHttpHandle handle) : handle(std::move(handle)) {}

  Win32Error AddHeader(const std::wstring& line) override {
    return Result(::WinHttpAddRequestHeaders(handle.Get(), line.c_str(), static_cast<DWORD>(line.size()),
                                             WINHTTP_ADDREQ_FLAG_ADD));
  }

  Win32Error Send(std::string_view body) override {
    const DWORD length = static_cast<DWORD>(body.size());
    void* data = body.empty() ? WINHTTP_NO_REQUEST_DATA : const_cast<char*>(body.data());
    return Result(::WinHttpSendRequest(handle.Get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, data, length, length, 0));
  }

  Win32Error ReceiveResponse() override { return Result(::WinHttpReceiveResponse(handle.Get(), nullptr)); }

  Win32Error QueryNumber(HttpQuery query, std::uint32_t& value) override {
    DWORD number = 0;
    DWORD size = sizeof number;
    const BOOL ok = ::WinHttpQueryHeaders(handle.Get(), static_cast<DWORD>(query) | WINHTTP_QUERY_FLAG_NUMBER,
                                          WINHTTP_HEADER_NAME_BY_INDEX, &number, &size, WINHTTP_NO_HEADER_INDEX);
    if (ok) value = number;
    return Result(ok);
  }

  Win32Error QueryText(HttpQuery query, std::uint32_t bufferBytes, std::wstring& value) override {
    std::vector<wchar_t> buffer(bufferBytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = bufferBytes;
    const BOOL ok = ::WinHttpQueryHeaders(handle.Get(), static_cast<DWORD>(query), WINHTTP_HEADER_NAME_BY_INDEX,
                                          buffer.data(), &size, WINHTTP_NO_HEADER_INDEX);
    if (ok) value.assign(buffer.data(), size / sizeof(wchar_t));
    return Result(ok);
  }

  Win32Error QueryDataAvailable(std::uint32_t& available) override {
    DWORD count = 0;
    const BOOL ok = ::WinHttpQueryDataAvailable(handle.Get(), &count);
    if (ok) available = count;
    return Result(ok);
  }

  Win32Error ReadData(void* buffer, std::uint32_t size, std::uint32_t& read) override {
    DWORD count = 0;
    const BOOL ok = ::WinHttpReadData(handle.Get(), buffer, size, &count);
    read = ok ? count : 0;
    return Result(ok);
  }

 private:
  WinHttpHandle handle;
};

class Win32HttpConnection : public HttpConnection {
 public:
  explicit Win32HttpConnection(WinHttpHandle handle) : handle(std::move(handle)) {}

  Win32Error OpenRequest(const std::wstring& verb, const std::wstring& path, std::uint32_t flags,
                         std::unique_ptr<HttpRequest>& request) override {
    WinHttpHandle opened(::WinHttpOpenRequest(handle.Get(), verb.c_str(), path.c_str(), nullptr,
                                              WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
    if (!opened) return ::GetLastError();
    // Redirects are the caller's business: it counts them and reads Location.
    DWORD disable = WINHTTP_DISABLE_REDIRECTS;
    if (!::WinHttpSetOption(opened.Get(), WINHTTP_OPTION_DISABLE_FEATURE, &disable, sizeof disable))
      return ::GetLastError();
    request = std::make_unique<Win32HttpRequest>(std::move(opened));
    return kErrorSuccess;
  }

 private:
  WinHttpHandle handle;
};

class Win32HttpSession : public HttpSession {
 public:
  explicit Win32HttpSession(WinHttpHandle handle) : handle(std::move(handle)) {}

  Win32Error SetSecureProtocols(std::uint32_t protocols) override {
    DWORD value = protocols;
    return Result(::WinHttpSetOption(handle.Get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &value, sizeof value));
  }

  Win32Error Connect(const std::wstring& host, std::uint16_t port,
                     std::unique_ptr<HttpConnection>& connection) override {
    WinHttpHandle opened(::WinHttpConnect(handle.Get(), host.c_str(), port, 0));
    if (!opened) return ::GetLastError();
    connection = std::make_unique<Win32HttpConnection>(std::move(opened));
    return kErrorSuccess;
  }

 private:
  WinHttpHandle handle;
};

}  // namespace

Win32Error Win32Http::OpenSession(const std::optional<std::wstring>& userAgent, std::uint32_t accessType,
                                  std::unique_ptr<HttpSession>& session) {
  WinHttpHandle opened(::WinHttpOpen(userAgent ? userAgent->c_str() : nullptr, accessType,
                                     WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!opened) return ::GetLastError();
  session = std::make_unique<Win32HttpSession>(std::move(opened));
  return kErrorSuccess;
}

Win32Error Win32Http::CrackUrl(const std::wstring& url, UrlParts& parts) {
  URL_COMPONENTS components = {};
  components.dwStructSize = sizeof components;
  components.dwSchemeLength = static_cast<DWORD>(-1);
  components.dwHostNameLength = static_cast<DWORD>(-1);
  components.dwUrlPathLength = static_cast<DWORD>(-1);
  components.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!::WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &components)) return ::GetLastError();
  auto piece = [](const wchar_t* text, DWORD length) { return text ? std::wstring(text, length) : std::wstring(); };
  parts = UrlParts{
      .scheme = piece(components.lpszScheme, components.dwSchemeLength),
      .secure = components.nScheme == INTERNET_SCHEME_HTTPS,
      .host = piece(components.lpszHostName, components.dwHostNameLength),
      .port = components.nPort,
      .path = piece(components.lpszUrlPath, components.dwUrlPathLength),
      .extraInfo = piece(components.lpszExtraInfo, components.dwExtraInfoLength),
  };
  return kErrorSuccess;
}

Win32Error Win32Http::LastError() { return ::GetLastError(); }

}  // namespace platform::win32
