#include "platform/posix/CurlHttpRequest.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

#include "platform/Internet.h"
#include "platform/posix/HttpUrl.h"

namespace platform::posix {
namespace {

// Body bytes held for the caller before the transfer pauses: a few TLS
// records, small enough to stay in cache on their way to the caller.
constexpr std::size_t kPauseThreshold = 256 * 1024;

// Bytes announced by one QueryDataAvailable at the most: callers allocate a
// buffer per chunk, and a chunk this size stays in the processor's cache
// from the TLS layer to the file it is written to.
constexpr std::size_t kMaxChunk = 64 * 1024;

// Redirects a following request takes before it fails.
constexpr long kMaxFollowedRedirects = 10;

bool IsFollowedRedirect(std::uint32_t status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

thread_local Win32Error lastHttpError = kErrorSuccess;

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
    text.remove_suffix(1);
  return text;
}

bool HasHeader(const std::vector<std::string>& lines, std::string_view name) {
  return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
    const std::size_t colon = line.find(':');
    return colon != std::string::npos && EqualsNoCase(Trim(std::string_view(line).substr(0, colon)), name);
  });
}

// WINHTTP_FLAG_SECURE_PROTOCOL_* bits to libcurl's lowest and highest version.
long CurlSslVersion(std::uint32_t protocols) {
  long lowest = 0, highest = 0;
  const std::pair<std::uint32_t, std::pair<long, long>> versions[] = {
      {kSecureProtocolTls1, {CURL_SSLVERSION_TLSv1_0, CURL_SSLVERSION_MAX_TLSv1_0}},
      {kSecureProtocolTls1_1, {CURL_SSLVERSION_TLSv1_1, CURL_SSLVERSION_MAX_TLSv1_1}},
      {kSecureProtocolTls1_2, {CURL_SSLVERSION_TLSv1_2, CURL_SSLVERSION_MAX_TLSv1_2}},
  };
  for (const auto& [flag, version] : versions) {
    if (!(protocols & flag)) continue;
    if (!lowest) lowest = version.first;
    highest = version.second;
  }
  return lowest ? (lowest | highest) : static_cast<long>(CURL_SSLVERSION_DEFAULT);
}

}  // namespace

Win32Error SetLastHttpError(Win32Error error) {
  if (error != kErrorSuccess) lastHttpError = error;
  return error;
}

Win32Error LastHttpError() { return lastHttpError; }

CurlHttpRequest::CurlHttpRequest(CurlRequestSetup requestSetup)
    : setup(std::move(requestSetup)),
      connectTo(MakeConnectToList(*setup.settings)),
      multi(curl_multi_init()),
      easy(curl_easy_init()) {}

CurlHttpRequest::~CurlHttpRequest() {
  if (multi && easy) curl_multi_remove_handle(multi.Get(), easy.Get());
}

Win32Error CurlHttpRequest::AddHeader(const std::wstring& line) {
  if (stage != Stage::Opened) return SetLastHttpError(kErrorWinHttpIncorrectHandleState);
  std::string bytes = HeaderTextToBytes(line);
  while (!bytes.empty() && (bytes.back() == '\r' || bytes.back() == '\n')) bytes.pop_back();
  const std::size_t colon = bytes.find(':');
  if (colon == std::string::npos || Trim(std::string_view(bytes).substr(0, colon)).empty() ||
      bytes.find_first_of("\r\n") != std::string::npos)
    return SetLastHttpError(kErrorInvalidParameter);
  headerLines.push_back(std::move(bytes));
  return kErrorSuccess;
}

Win32Error CurlHttpRequest::Send(std::string_view requestBody) {
  if (stage != Stage::Opened) return SetLastHttpError(kErrorWinHttpIncorrectHandleState);
  if (!easy || !multi) return SetLastHttpError(kErrorNotEnoughMemory);

  CURL* const transfer = easy.Get();
  ApplyCurlSettings(transfer, *setup.settings, connectTo.Get());
  curl_easy_setopt(transfer, CURLOPT_URL, setup.url.c_str());
  if (setup.userAgent) curl_easy_setopt(transfer, CURLOPT_USERAGENT, setup.userAgent->c_str());
  if (!setup.useProxy) curl_easy_setopt(transfer, CURLOPT_PROXY, "");
  curl_easy_setopt(transfer, CURLOPT_SSLVERSION, CurlSslVersion(setup.secureProtocols));
  if (setup.followRedirects) {
    curl_easy_setopt(transfer, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(transfer, CURLOPT_MAXREDIRS, kMaxFollowedRedirects);
    curl_easy_setopt(transfer, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  }

  body.assign(requestBody);
  if (setup.verb == "GET" && body.empty()) {
    curl_easy_setopt(transfer, CURLOPT_HTTPGET, 1L);
  } else if (setup.verb == "HEAD" && body.empty()) {
    curl_easy_setopt(transfer, CURLOPT_NOBODY, 1L);
  } else {
    curl_easy_setopt(transfer, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(transfer, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    if (setup.verb != "POST") curl_easy_setopt(transfer, CURLOPT_CUSTOMREQUEST, setup.verb.c_str());
  }

  // Only the caller's headers go out, as with WinHTTP: no Accept, no
  // form content type, no Expect of libcurl's own.
  std::vector<std::string> lines = headerLines;
  if (setup.refresh) lines.push_back("Pragma: no-cache");
  for (const char* name : {"Accept", "Content-Type", "Expect"}) {
    if (!HasHeader(lines, name)) lines.push_back(std::string(name) + ":");
  }
  for (const std::string& line : lines) AppendToList(requestHeaders, line);
  curl_easy_setopt(transfer, CURLOPT_HTTPHEADER, requestHeaders.Get());

  curl_easy_setopt(transfer, CURLOPT_HEADERFUNCTION, &CurlHttpRequest::OnHeader);
  curl_easy_setopt(transfer, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(transfer, CURLOPT_WRITEFUNCTION, &CurlHttpRequest::OnBody);
  curl_easy_setopt(transfer, CURLOPT_WRITEDATA, this);

  if (curl_multi_add_handle(multi.Get(), transfer) != CURLM_OK) return SetLastHttpError(kErrorNotEnoughMemory);
  stage = Stage::Sent;
  Drive([this] { return RequestSent(); });
  if (!RequestSent()) return SetLastHttpError(TransferError());
  return kErrorSuccess;
}

Win32Error CurlHttpRequest::ReceiveResponse() {
  if (stage != Stage::Sent) return SetLastHttpError(kErrorWinHttpIncorrectHandleState);
  Drive([this] { return headersComplete; });
  if (!headersComplete) {
    const Win32Error error = TransferError();
    return SetLastHttpError(error == kErrorSuccess ? kErrorWinHttpInvalidServerResponse : error);
  }
  stage = Stage::Received;
  return kErrorSuccess;
}

Win32Error CurlHttpRequest::QueryNumber(HttpQuery query, std::uint32_t& value) {
  if (stage != Stage::Received) return SetLastHttpError(kErrorWinHttpIncorrectHandleState);
  if (query == HttpQuery::StatusCode) {
    value = statusCode;
    return kErrorSuccess;
  }
  const std::string* text = query == HttpQuery::ContentLength ? FindHeader("content-length") : nullptr;
  if (!text || text->empty() || text->size() > 10) return SetLastHttpError(kErrorWinHttpHeaderNotFound);
  std::uint64_t number = 0;
  for (char c : *text) {
    if (c < '0' || c > '9') return SetLastHttpError(kErrorWinHttpHeaderNotFound);
    number = number * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (number > 0xFFFFFFFFu) return SetLastHttpError(kErrorWinHttpHeaderNotFound);
  value = static_cast<std::uint32_t>(number);
  return kErrorSuccess;
}

Win32Error CurlHttpRequest::QueryText(HttpQuery query, std::uint32_t bufferBytes, std::wstring& value) {
  if (stage != Stage::Received) return SetLastHttpError(kErrorWinHttpIncorrectHandleState);
  const std::optional<std::string> text = HeaderText(query);
  if (!text) return SetLastHttpError(kErrorWinHttpHeaderNotFound);
  // WinHTTP needs room for the UTF-16 text and its terminating NUL.
  if ((static_cast<std::uint64_t>(text->size()) + 1) * 2 > bufferBytes)
    return SetLastHttpError(kErrorInsufficientBuffer);
  value = HeaderBytesToText(*text);
  return kErrorSuccess;
}

Win32Error CurlHttpRequest::QueryDataAvailable(std::uint32_t& available) {
  if (stage != Stage::Received) return SetLastHttpError(kErrorWinHttpIncorrectHandleState);
  if (const Win32Error error = WaitForBody(); error != kErrorSuccess) return SetLastHttpError(error);
  available = static_cast<std::uint32_t>(std::min(Unread(), kMaxChunk));
  return kErrorSuccess;
}

Win32Error CurlHttpRequest::ReadData(void* buffer, std::uint32_t size, std::uint32_t& read) {
  read = 0;
  if (stage != Stage::Received) return SetLastHttpError(kErrorWinHttpIncorrectHandleState);
  if (const Win32Error error = WaitForBody(); error != kErrorSuccess) return SetLastHttpError(error);
  const std::size_t count = std::min<std::size_t>(size, Unread());
  if (count) std::memcpy(buffer, pending.data() + pendingOffset, count);
  pendingOffset += count;
  if (pendingOffset == pending.size()) {
    pending.clear();  // keeps its capacity for the next bytes
    pendingOffset = 0;
  }
  read = static_cast<std::uint32_t>(count);
  return kErrorSuccess;
}

size_t CurlHttpRequest::OnHeader(char* data, size_t size, size_t count, void* self) {
  auto& request = *static_cast<CurlHttpRequest*>(self);
  const std::string_view line = Trim(std::string_view(data, size * count));
  if (line.substr(0, 5) == "HTTP/") {
    // A new response begins (after an interim 1xx one): forget the old.
    request.responseHeaders.clear();
    request.headersComplete = false;
    const std::size_t space = line.find(' ');
    std::uint32_t status = 0;
    for (std::size_t i = space == std::string_view::npos ? line.size() : space + 1;
         i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i)
      status = status * 10 + static_cast<std::uint32_t>(line[i] - '0');
    request.statusCode = status;
  } else if (line.empty()) {
    // A redirect that the transfer follows is not the final response.
    const bool followed = request.setup.followRedirects && IsFollowedRedirect(request.statusCode) &&
                          request.FindHeader("location") != nullptr;
    if (followed && request.RedirectsToPlainHttp()) {
      request.refusedRedirect = true;
      return 0;  // ends the transfer before libcurl follows
    }
    if (request.statusCode >= 200 && !followed) request.headersComplete = true;
  } else if (const std::size_t colon = line.find(':'); colon != std::string_view::npos) {
    request.responseHeaders.emplace_back(std::string(Trim(line.substr(0, colon))),
                                         std::string(Trim(line.substr(colon + 1))));
  }
  return size * count;
}

size_t CurlHttpRequest::OnBody(char* data, size_t size, size_t count, void* self) {
  auto& request = *static_cast<CurlHttpRequest*>(self);
  if (request.Unread() >= kPauseThreshold) {
    request.paused = true;
    return CURL_WRITEFUNC_PAUSE;  // libcurl keeps these bytes until we continue
  }
  if (request.pendingOffset > 0 && request.pendingOffset >= request.pending.size() / 2) {
    request.pending.erase(0, request.pendingOffset);
    request.pendingOffset = 0;
  }
  request.pending.append(data, size * count);
  return size * count;
}

template <typename Done>
void CurlHttpRequest::Drive(Done done) {
  while (!done() && !finished) {
    if (paused && Unread() == 0) {
      paused = false;
      curl_easy_pause(easy.Get(), CURLPAUSE_CONT);  // may deliver the held bytes at once
      continue;
    }
    int running = 0;
    if (curl_multi_perform(multi.Get(), &running) != CURLM_OK) {
      finished = true;
      result = CURLE_OUT_OF_MEMORY;
      break;
    }
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi.Get(), &queued)) {
      if (message->msg == CURLMSG_DONE) {
        finished = true;
        result = message->data.result;
      }
    }
    if (done() || finished) break;
    curl_multi_poll(multi.Get(), nullptr, 0, 1000, nullptr);
  }
}

bool CurlHttpRequest::RequestSent() const {
  if (headersComplete || statusCode != 0) return true;  // the server has answered already
  curl_off_t pretransfer = 0, uploaded = 0;
  curl_easy_getinfo(easy.Get(), CURLINFO_PRETRANSFER_TIME_T, &pretransfer);
  curl_easy_getinfo(easy.Get(), CURLINFO_SIZE_UPLOAD_T, &uploaded);
  return pretransfer > 0 && static_cast<std::size_t>(uploaded) >= body.size();
}

Win32Error CurlHttpRequest::TransferError() const {
  if (!finished) return kErrorWinHttpInternalError;
  if (refusedRedirect) return kErrorInternetHttpsToHttpOnRedirect;
  if (result == CURLE_PARTIAL_FILE && headersComplete) return kErrorSuccess;
  return WinHttpErrorFromCurl(result);
}

Win32Error CurlHttpRequest::WaitForBody() {
  if (Unread() == 0) Drive([this] { return Unread() > 0; });
  if (Unread() > 0 || !finished) return kErrorSuccess;
  return TransferError();
}

const std::string* CurlHttpRequest::FindHeader(std::string_view name) const {
  for (const auto& [headerName, value] : responseHeaders) {
    if (EqualsNoCase(headerName, name)) return &value;
  }
  return nullptr;
}

bool CurlHttpRequest::RedirectsToPlainHttp() const {
  const char* current = nullptr;
  curl_easy_getinfo(easy.Get(), CURLINFO_EFFECTIVE_URL, &current);
  const std::string* location = FindHeader("location");
  // A relative Location keeps the current scheme.
  return current && location && ::strncasecmp(current, "https:", 6) == 0 &&
         ::strncasecmp(location->c_str(), "http:", 5) == 0;
}

std::optional<std::string> CurlHttpRequest::HeaderText(HttpQuery query) const {
  const std::string* text = nullptr;
  switch (query) {
    case HttpQuery::StatusCode: return std::to_string(statusCode);
    case HttpQuery::ContentLength: text = FindHeader("content-length"); break;
    case HttpQuery::Location: text = FindHeader("location"); break;
  }
  return text ? std::optional<std::string>(*text) : std::nullopt;
}

}  // namespace platform::posix
