#include "config/HttpJsonClient.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "config/BrimvaleException.h"
#include "platform/WindowsVersion.h"

namespace {

// Transport diagnostics go to standard output, which the windowed program
// does not show.
void Diagnose(const std::string& text) {
  std::fputs((text + "\n").c_str(), stdout);
  std::fflush(stdout);
}

std::string_view UpToFirstNul(const char* text, std::size_t size) {
  const std::string_view bytes(text, size);
  return bytes.substr(0, bytes.find('\0'));
}

bool IsWindows7(platform::SystemInfo& system) {
  return IsWindowsVersionAtLeast(system, 6, 1, 0) && !IsWindowsVersionAtLeast(system, 6, 2, 0);
}

void ReadBody(platform::HttpRequest& request, std::string& response) {
  for (;;) {
    std::uint32_t available = 0;
    if (const platform::Win32Error error = request.QueryDataAvailable(available); error != platform::kErrorSuccess) {
      Diagnose("Error " + std::to_string(error) + " in WinHttpQueryDataAvailable.");
      return;
    }
    if (available == 0) return;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[available + std::size_t{1}]());
    if (!buffer) {
      Diagnose("Out of memory");
      return;
    }
    std::uint32_t read = 0;
    if (const platform::Win32Error error = request.ReadData(buffer.get(), available, read);
        error != platform::kErrorSuccess) {
      Diagnose("Error " + std::to_string(error) + " in WinHttpReadData.");
    } else {
      response += UpToFirstNul(buffer.get(), read);
    }
  }
}

}  // namespace

bool PostJson(const platform::Services& services, const std::wstring& url, const std::string& body,
              HttpHeaders headers, std::string& response, std::uint32_t& statusCode) {
  platform::SystemInfo& system = *services.system;
  // Windows 7 before its first service pack cannot speak the TLS versions
  // the server requires.
  if (IsWindowsVersionAtLeast(system, 6, 1, 0) && !IsWindowsVersionAtLeast(system, 6, 1, 1))
    throw BrimvaleException();

  platform::UrlParts parts;
  if (services.http->CrackUrl(url, parts) != platform::kErrorSuccess) throw BrimvaleException();
  // Scheme, port and extra information (query, fragment) are not used.
  if (!HttpsPost(services, parts.path, parts.host, body, std::move(headers), response, statusCode))
    throw BrimvaleException();
  return true;
}

bool HttpsPost(const platform::Services& services, const std::wstring& path, const std::wstring& host,
               const std::string& body, HttpHeaders headers, std::string& response, std::uint32_t& statusCode) {
  platform::SystemInfo& system = *services.system;
  // Declared in this order, the handles close request first, session last.
  std::unique_ptr<platform::HttpSession> session;
  std::unique_ptr<platform::HttpConnection> connection;
  std::unique_ptr<platform::HttpRequest> request;

  const std::uint32_t accessType =
      IsWindows7(system) ? platform::kHttpAccessTypeDefaultProxy : platform::kHttpAccessTypeAutomaticProxy;
  if (services.http->OpenSession(std::nullopt, accessType, session) != platform::kErrorSuccess) return false;

  // TLS 1.0 at least (SSL 3.0 is broken); TLS 1.1 and 1.2 from Windows 7 SP1 on.
  std::uint32_t protocols = platform::kSecureProtocolTls1;
  if (IsWindowsVersionAtLeast(system, 6, 1, 1))
    protocols |= platform::kSecureProtocolTls1_1 | platform::kSecureProtocolTls1_2;
  if (session->SetSecureProtocols(protocols) != platform::kErrorSuccess) return false;

  if (session->Connect(host, platform::kHttpsPort, connection) != platform::kErrorSuccess) return false;
  if (connection->OpenRequest(L"POST", path, platform::kHttpFlagSecure, request) != platform::kErrorSuccess)
    return false;

  headers.emplace_back(L"Expect", L"100-continue");
  headers.emplace_back(L"Content-Type", L"application/json");
  for (const auto& [name, value] : headers) {
    if (const platform::Win32Error error = request->AddHeader(name + L": " + value); error != platform::kErrorSuccess)
      Diagnose("WinHttpAddRequestHeaders error: " + std::to_string(error));
  }

  if (request->Send(UpToFirstNul(body.c_str(), body.size())) != platform::kErrorSuccess) return false;
  if (request->ReceiveResponse() != platform::kErrorSuccess) return false;

  std::uint32_t status = 0;
  if (request->QueryNumber(platform::HttpQuery::StatusCode, status) == platform::kErrorSuccess) statusCode = status;
  ReadBody(*request, response);
  return true;
}
