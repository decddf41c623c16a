#include "config/HttpJsonClient.h"

#include <memory>

#include "config/BrimvaleException.h"
#include "platform/HttpTransfer.h"
#include "platform/WindowsVersion.h"

namespace {

using platform::Win32Error;

std::string_view UpToFirstNul(const char* text, std::size_t size) {
  const std::string_view bytes(text, size);
  return bytes.substr(0, bytes.find('\0'));
}

// What one POST came to: an answer, or the call that failed and its code.
struct PostOutcome {
  bool answered = false;
  const char* failedStep = "";
  Win32Error error = platform::kErrorSuccess;
};

PostOutcome Failed(const char* step, Win32Error error) {
  return {.answered = false, .failedStep = step, .error = error};
}

// Reads what arrives; a failed read is reported and reading goes on, any
// other failure ends the body. What was read stays in the response.
void ReadBody(platform::HttpRequest& request, platform::DebugOutput& diagnostics, std::string& response) {
  const auto append = [&](const char* data, std::uint32_t size) { response += UpToFirstNul(data, size); };
  while (true) {
    const BodyReadResult result = ReadResponseBody(request, nullptr, append);
    switch (result.end) {
      case BodyEnd::ReadFailed:
        diagnostics.WriteDiagnostic("Error " + std::to_string(result.error) + " in WinHttpReadData.");
        continue;
      case BodyEnd::QueryFailed:
        diagnostics.WriteDiagnostic("Error " + std::to_string(result.error) + " in WinHttpQueryDataAvailable.");
        return;
      case BodyEnd::OutOfMemory:
        diagnostics.WriteDiagnostic("Out of memory");
        return;
      case BodyEnd::Complete:
      case BodyEnd::Cancelled:
        return;
    }
  }
}

PostOutcome PostOnce(const platform::Services& services, const std::wstring& path, const std::wstring& host,
                     const std::string& body, HttpHeaders headers, std::string& response,
                     std::uint32_t& statusCode) {
  platform::SystemInfo& system = *services.system;
  // Declared in this order, the handles close request first, session last.
  std::unique_ptr<platform::HttpSession> session;
  std::unique_ptr<platform::HttpConnection> connection;
  std::unique_ptr<platform::HttpRequest> request;

  if (const Win32Error error = services.http->OpenSession(std::nullopt, ProxyAccessTypeFor(system), session))
    return Failed("WinHttpOpen", error);
  if (const Win32Error error = session->SetSecureProtocols(SecureProtocolsFor(system)))
    return Failed("WinHttpSetOption", error);
  if (const Win32Error error = session->Connect(host, platform::kHttpsPort, connection))
    return Failed("WinHttpConnect", error);
  if (const Win32Error error = connection->OpenRequest(L"POST", path, platform::kHttpFlagSecure, request))
    return Failed("WinHttpOpenRequest", error);

  headers.emplace_back(L"Expect", L"100-continue");
  headers.emplace_back(L"Content-Type", L"application/json");
  for (const auto& [name, value] : headers) {
    if (const Win32Error error = request->AddHeader(name + L": " + value))
      services.debugOutput->WriteDiagnostic("WinHttpAddRequestHeaders error: " + std::to_string(error));
  }

  if (const Win32Error error = request->Send(UpToFirstNul(body.c_str(), body.size())))
    return Failed("WinHttpSendRequest", error);
  if (const Win32Error error = request->ReceiveResponse()) return Failed("WinHttpReceiveResponse", error);

  std::uint32_t status = 0;
  if (request->QueryNumber(platform::HttpQuery::StatusCode, status) == platform::kErrorSuccess) statusCode = status;
  ReadBody(*request, *services.debugOutput, response);
  return {.answered = true};
}

}  // namespace

bool PostJson(const platform::Services& services, const std::wstring& url, const std::string& body,
              HttpHeaders headers, std::string& response, std::uint32_t& statusCode) {
  platform::SystemInfo& system = *services.system;
  // Windows 7 before its first service pack cannot speak the TLS versions
  // the server requires.
  if (IsWindows7(system) && !IsWindowsVersionAtLeast(system, 6, 1, 1))
    throw BrimvaleException("Windows version check");

  platform::UrlParts parts;
  if (const Win32Error error = services.http->CrackUrl(url, parts)) throw BrimvaleException("WinHttpCrackUrl", error);
  // Scheme, port and extra information (query, fragment) are not used.
  const PostOutcome outcome =
      PostOnce(services, parts.path, parts.host, body, std::move(headers), response, statusCode);
  if (!outcome.answered) throw BrimvaleException(outcome.failedStep, outcome.error);
  return true;
}

bool HttpsPost(const platform::Services& services, const std::wstring& path, const std::wstring& host,
               const std::string& body, HttpHeaders headers, std::string& response, std::uint32_t& statusCode) {
  return PostOnce(services, path, host, body, std::move(headers), response, statusCode).answered;
}
