#include "platform/win32/Win32Internet.h"

#include <windows.h>
#include <wininet.h>

#include <cwctype>
#include <string_view>
#include <vector>

#include "platform/win32/UniqueHandle.h"

namespace platform::win32 {

void InternetHandleTraits::Close(Type handle) { ::InternetCloseHandle(handle); }

namespace {

class Win32InternetResource : public InternetResource {
 public:
  explicit Win32InternetResource(InternetHandle handle) : handle(std::move(handle)) {}

  Win32Error QueryNumber(InternetQuery query, std::uint32_t& value) override {
    DWORD number = 0;
    DWORD size = sizeof number;
    if (!::HttpQueryInfoW(handle.Get(), static_cast<DWORD>(query) | HTTP_QUERY_FLAG_NUMBER, &number, &size,
                          nullptr))
      return ::GetLastError();
    value = number;
    return kErrorSuccess;
  }

  Win32Error Read(void* buffer, std::uint32_t size, std::uint32_t& read) override {
    DWORD got = 0;
    if (!::InternetReadFile(handle.Get(), buffer, size, &got)) return ::GetLastError();
    read = got;
    return kErrorSuccess;
  }

 private:
  InternetHandle handle;
};

bool IsHttpsUrl(std::wstring_view url) {
  constexpr std::wstring_view kScheme = L"https:";
  if (url.size() < kScheme.size()) return false;
  for (std::size_t i = 0; i < kScheme.size(); ++i)
    if (static_cast<wchar_t>(std::towlower(url[i])) != kScheme[i]) return false;
  return true;
}

// The URL the opened resource came from, after every redirect.
Win32Error QueryFinalUrl(HINTERNET handle, std::wstring& url) {
  std::vector<wchar_t> buffer(INTERNET_MAX_URL_LENGTH + 1, L'\0');
  DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  if (!::InternetQueryOptionW(handle, INTERNET_OPTION_URL, buffer.data(), &size)) return ::GetLastError();
  url.assign(buffer.data());
  return kErrorSuccess;
}

class Win32InternetSession : public InternetSession {
 public:
  explicit Win32InternetSession(InternetHandle handle) : handle(std::move(handle)) {}

  Win32Error OpenUrl(const std::wstring& url, std::uint32_t flags,
                     std::unique_ptr<InternetResource>& resource) override {
    // WinINet refuses a redirect from https to http unless told to ignore
    // it; that flag never reaches it.
    flags &= ~static_cast<std::uint32_t>(INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP);
    InternetHandle opened(::InternetOpenUrlW(handle.Get(), url.c_str(), nullptr, 0, flags, 0));
    if (!opened) return ::GetLastError();
    // Some WinINet versions (Wine's among them) follow such a redirect all
    // the same: what was opened through https must still be https.
    if (IsHttpsUrl(url)) {
      std::wstring finalUrl;
      if (const Win32Error error = QueryFinalUrl(opened.Get(), finalUrl)) return error;
      if (!IsHttpsUrl(finalUrl)) return kErrorInternetHttpsToHttpOnRedirect;
    }
    resource = std::make_unique<Win32InternetResource>(std::move(opened));
    return kErrorSuccess;
  }

 private:
  InternetHandle handle;
};

}  // namespace

Win32Error Win32Internet::Open(const std::wstring& userAgent, std::uint32_t accessType,
                               std::unique_ptr<InternetSession>& session) {
  InternetHandle opened(::InternetOpenW(userAgent.c_str(), accessType, nullptr, nullptr, 0));
  if (!opened) return ::GetLastError();
  session = std::make_unique<Win32InternetSession>(std::move(opened));
  return kErrorSuccess;
}

Win32Error Win32Internet::LastError() { return ::GetLastError(); }

}  // namespace platform::win32
