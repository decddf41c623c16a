#include "install/DownloadManager.h"

#include <cwctype>
#include <optional>
#include <string_view>
#include <stdexcept>
#include <thread>

#include "config/ConfigurationManager.h"
#include "install/DownloadCheck.h"
#include "install/TargetPath.h"
#include "platform/HttpTransfer.h"
#include "platform/SystemErrorText.h"
#include "util/DecimalText.h"
#include "util/Utf8.h"

namespace {

using platform::Win32Error;

constexpr int kMaxRedirects = 5;
// WinHTTP's Location buffer: 260 bytes, 129 characters and the terminator.
constexpr std::uint32_t kLocationBufferBytes = 260;
constexpr std::uint32_t kFallbackPauseMs = 2000;
constexpr std::uint32_t kFallbackBufferBytes = 4096;
const wchar_t* const kMemoryUserAgent = L"A WinHTTP Example Program/1.0";

// A failed step of a transfer; its text is the step's error message.
class DownloadError : public std::runtime_error {
 public:
  explicit DownloadError(const std::wstring& text) : std::runtime_error(WideToUtf8(text)) {}
};

[[noreturn]] void Fail(const std::wstring& text) { throw DownloadError(text); }

// The complete file does not have the answer's digest.
class ChecksumMismatch : public std::runtime_error {
 public:
  ChecksumMismatch() : std::runtime_error("checksum mismatch") {}
};

// "<what> <code> - <system text>", the form of every "%d - %s" message.
[[noreturn]] void Fail(const std::wstring& what, Win32Error code) {
  Fail(what + L" " + DecimalText(static_cast<int>(code)) + L" - " + platform::GetSystemErrorText(code));
}

// The WinHTTP read loop of both transfers that use it: each chunk goes to
// `consume`; every way the loop stops short fails the transfer.
void ReadBody(platform::HttpRequest& request, const std::atomic<bool>& cancelled,
              const std::function<void(const char*, std::uint32_t)>& consume) {
  const BodyReadResult result = ReadResponseBody(request, &cancelled, consume);
  switch (result.end) {
    case BodyEnd::Complete: return;
    case BodyEnd::Cancelled: Fail(L"Download cancelled.");
    case BodyEnd::QueryFailed: Fail(L"Failed to query data:", result.error);
    case BodyEnd::OutOfMemory: Fail(L"Out of memory.");
    case BodyEnd::ReadFailed: Fail(L"Failed to read data:", result.error);
  }
}

// Progress messages: one per advance of more than one percentage point.
class ProgressReporter {
 public:
  ProgressReporter(ui::WindowHandle window, std::optional<std::uint32_t> length) : window(window), length(length) {
    if (!length) ui::PostWindowMessage(window, ui::WM_DOWNLOAD_SIZE_UNKNOWN, 0, 0);
  }
  void Add(std::uint32_t bytes) {
    if (!length || *length == 0) return;
    fraction += static_cast<double>(bytes) / static_cast<double>(*length);
    if (fraction - reported > 0.01) {
      ui::PostWindowMessage(window, ui::WM_DOWNLOAD_PROGRESS, static_cast<std::uintptr_t>(fraction * 100), 0);
      reported = fraction;
    }
  }
  void Complete() {
    if (length && *length != 0) ui::PostWindowMessage(window, ui::WM_DOWNLOAD_PROGRESS, 100, 0);
  }

 private:
  ui::WindowHandle window;
  std::optional<std::uint32_t> length;
  double fraction = 0;
  double reported = 0;
};

// The output file, opened before any network activity; its failure is
// reported only once the server has answered. Every byte written passes
// the download's check first.
struct TargetFile {
  std::wstring path;
  std::unique_ptr<platform::OutputFile> file;
  Win32Error openError = platform::kErrorSuccess;
  std::unique_ptr<DownloadCheck> check;

  void Write(const char* data, std::uint32_t size) {
    check->Add(data, size);
    if (check->IsWebPage()) Fail(L"Download failed: the server sent a web page instead of the file.");
    if (const Win32Error error = file->Write(data, size); error != platform::kErrorSuccess)
      Fail(L"Failed to write to file:", error);
  }
  void RequireOpen() const {
    if (!file) Fail(L"Failed to open file for writing:", openError);
  }
};

// One WinHTTP exchange; the handles close in reverse order of opening.
struct HttpExchange {
  std::unique_ptr<platform::HttpSession> session;
  std::unique_ptr<platform::HttpConnection> connection;
  std::unique_ptr<platform::HttpRequest> request;
};

struct HttpOptions {
  std::optional<std::wstring> userAgent{};
  std::uint32_t accessType = platform::kHttpAccessTypeDefaultProxy;
  std::uint32_t requestFlags = 0;
};

bool IsPlainHttpUrl(const std::wstring& url) {
  constexpr std::wstring_view kScheme = L"http:";
  if (url.size() < kScheme.size()) return false;
  for (std::size_t i = 0; i < kScheme.size(); ++i)
    if (static_cast<wchar_t>(std::towlower(url[i])) != kScheme[i]) return false;
  return true;
}

// Sends the GET and follows redirects (the count runs over the caller's
// whole download) until a 2xx answer, whose exchange is returned.
HttpExchange OpenResponse(platform::Http& http, platform::SystemInfo& system, std::wstring url,
                          const HttpOptions& options, int& redirects) {
  while (true) {
    HttpExchange exchange;
    if (const Win32Error error = http.OpenSession(options.userAgent, options.accessType, exchange.session))
      Fail(L"Failed to open HTTP session:", error);
    if (const Win32Error error = exchange.session->SetSecureProtocols(SecureProtocolsFor(system)))
      Fail(L"Failed to set secure protocols:", error);

    platform::UrlParts parts;
    if (const Win32Error error = http.CrackUrl(url, parts)) Fail(L"Failed to connect:", error);
    if (const Win32Error error = exchange.session->Connect(parts.host, parts.port, exchange.connection))
      Fail(L"Failed to connect:", error);
    const std::uint32_t flags = options.requestFlags | (parts.secure ? platform::kHttpFlagSecure : 0);
    if (const Win32Error error =
            exchange.connection->OpenRequest(L"GET", parts.path + parts.extraInfo, flags, exchange.request))
      Fail(L"Failed to open request:", error);
    if (const Win32Error error = exchange.request->Send("")) Fail(L"Failed to send request:", error);
    if (const Win32Error error = exchange.request->ReceiveResponse()) Fail(L"Failed to receive response:", error);

    std::uint32_t status = 0;
    if (exchange.request->QueryNumber(platform::HttpQuery::StatusCode, status) != platform::kErrorSuccess) status = 0;
    if (status >= 300 && status <= 399) {
      if (++redirects > kMaxRedirects) Fail(L"Too many redirects.");
      std::wstring location;
      // A Location longer than the buffer fails the attempt instead of being read past.
      if (const Win32Error error =
              exchange.request->QueryText(platform::HttpQuery::Location, kLocationBufferBytes, location))
        Fail(L"Failed to read redirect location:", error);
      if (parts.secure && IsPlainHttpUrl(location)) Fail(L"Redirect from HTTPS to HTTP refused.");
      url = location;
      continue;
    }
    if (status < 200 || status > 299)
      Fail(L"Download failed: Server returned status code: " + DecimalText(status));
    return exchange;
  }
}

std::optional<std::uint32_t> ContentLength(platform::HttpRequest& request) {
  std::uint32_t length = 0;
  if (request.QueryNumber(platform::HttpQuery::ContentLength, length) != platform::kErrorSuccess) return std::nullopt;
  return length;
}

std::optional<std::uint32_t> ContentLength(platform::InternetResource& resource) {
  std::uint32_t length = 0;
  if (resource.QueryNumber(platform::InternetQuery::ContentLength, length) != platform::kErrorSuccess)
    return std::nullopt;
  return length;
}

}  // namespace

DownloadManager::DownloadManager(std::shared_ptr<ConfigurationManager> configurationIn)
    : configuration(std::move(configurationIn)), services(configuration->Services()) {}

namespace {

TargetFile OpenTarget(const ConfigurationManager& configuration, const platform::Services& services,
                      const std::wstring& url, const std::wstring& fileName, bool toTempFolder,
                      const std::string& expectedSha256) {
  TargetFile target;
  target.check = std::make_unique<DownloadCheck>(expectedSha256);
  target.path = fileName.empty() ? MakeTargetPathFromUrl(configuration, url, toTempFolder)
                                 : MakeTargetPath(configuration, fileName, toTempFolder);
  if (target.path.empty()) {
    const std::wstring& folder = toTempFolder ? configuration.workFolder : configuration.downloadFolder;
    target.openError = services.files->IsDirectory(folder) ? platform::kErrorInvalidName : platform::kErrorPathNotFound;
  } else {
    target.openError = services.files->OpenForWriting(target.path, target.file);
  }
  return target;
}

// Completion of a transfer: the file is closed, must have the digest the
// answer gave and, with a known length, must have it.
void FinishFile(platform::FileSystem& files, TargetFile& target, std::optional<std::uint32_t> length,
                bool reportCode) {
  target.file.reset();
  if (!length) {
    if (!target.check->DigestMatches()) throw ChecksumMismatch();
    return;
  }
  std::uint64_t size = 0;
  if (const Win32Error error = files.QueryFileSize(target.path, size)) {
    if (reportCode) Fail(L"Failed to open downloaded file:", error);
    Fail(L"Failed to open downloaded file.");
  }
  if (size != *length)
    Fail(L"Download was incomplete: content length: " + DecimalText(*length) +
         L", downloaded: " + DecimalText(size));
  // Judged once the file is known complete, so a cut transfer keeps its own text.
  if (!target.check->DigestMatches()) throw ChecksumMismatch();
}

}  // namespace

DownloadResult DownloadManager::DownloadFile(const std::wstring& url, ui::WindowHandle window,
                                             const std::wstring& fileName, bool toTempFolder,
                                             const std::string& expectedSha256) {
  DownloadResult result{false, L""};
  bool mismatch = false;
  TargetFile target = OpenTarget(*configuration, services, url, fileName, toTempFolder, expectedSha256);
  try {
    int redirects = 0;
    HttpExchange exchange = OpenResponse(*services.http, *services.system, url,
                                         {.accessType = ProxyAccessTypeFor(*services.system)}, redirects);
    const std::optional<std::uint32_t> length = ContentLength(*exchange.request);
    ProgressReporter progress(window, length);
    target.RequireOpen();

    ReadBody(*exchange.request, cancelled, [&](const char* data, std::uint32_t read) {
      target.Write(data, read);
      progress.Add(read);
    });
    FinishFile(*services.files, target, length, false);
    SetLastFilePath(target.path);
    progress.Complete();
    result.first = true;
  } catch (const ChecksumMismatch&) {
    mismatch = true;
    result.second = kChecksumMismatch;
  } catch (const std::exception& error) {
    result.second = L"[WINHTTP] " + Utf8ToWide(error.what());
  }
  target.file.reset();

  if (!result.first && (cancelled || mismatch)) {
    // The wizard is closing, or the file is not the one the answer named:
    // no second transfer, and nothing of it left.
    if (!target.path.empty()) services.files->RemoveFile(target.path);
  } else if (!result.first) {
    services.clock->Sleep(kFallbackPauseMs);
    const DownloadResult fallback = DownloadFileFallback(url, window, fileName, toTempFolder, expectedSha256);
    if (fallback.first) {
      result.first = true;
    } else {
      result.second = fallback.second == kChecksumMismatch ? fallback.second : result.second + fallback.second;
      if (!target.path.empty()) services.files->RemoveFile(target.path);
    }
  }
  return result;
}

DownloadResult DownloadManager::DownloadFileFallback(const std::wstring& url, ui::WindowHandle window,
                                                     const std::wstring& fileName, bool toTempFolder,
                                                     const std::string& expectedSha256) {
  DownloadResult result{false, L""};
  TargetFile target = OpenTarget(*configuration, services, url, fileName, toTempFolder, expectedSha256);
  try {
    std::unique_ptr<platform::InternetSession> session;
    if (const Win32Error error = services.internet->Open(L"", platform::kInternetOpenTypePreconfig, session))
      Fail(L"Failed to initialize WinINet::", error);
    std::unique_ptr<platform::InternetResource> resource;
    if (const Win32Error error = session->OpenUrl(url, platform::kInternetFlagReload, resource))
      Fail(L"Failed to open URL::", error);
    std::uint32_t status = 0;
    if (const Win32Error error = resource->QueryNumber(platform::InternetQuery::StatusCode, status))
      Fail(L"Failed to query HTTP status code:", error);
    if (status != 200)
      Fail(L"Server returned status code: HTTP " + DecimalText(status) + L" - " +
           platform::GetSystemErrorText(services.internet->LastError()));
    const std::optional<std::uint32_t> length = ContentLength(*resource);
    ProgressReporter progress(window, length);
    target.RequireOpen();

    // A failed read ends the body like its end does; the size check tells.
    char buffer[kFallbackBufferBytes];
    std::uint32_t read = 0;
    while (resource->Read(buffer, sizeof buffer, read) == platform::kErrorSuccess && read > 0) {
      // Closing the wizard stops this transfer too.
      if (cancelled) Fail(L"Download cancelled.");
      target.Write(buffer, read);
      progress.Add(read);
      read = 0;
    }
    FinishFile(*services.files, target, length, true);
    SetLastFilePath(target.path);
    progress.Complete();
    result.first = true;
  } catch (const ChecksumMismatch&) {
    result.second = kChecksumMismatch;
    target.file.reset();
    services.files->RemoveFile(target.path);
  } catch (const std::exception& error) {
    result.second = L" [WININET] " + Utf8ToWide(error.what());
  }
  return result;
}

std::unique_ptr<std::vector<char>> DownloadManager::DownloadToMemory(const std::wstring& url) {
  auto bytes = std::make_unique<std::vector<char>>();
  int redirects = 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      HttpExchange exchange = OpenResponse(*services.http, *services.system, url,
                                           {.userAgent = kMemoryUserAgent,
                                            .accessType = platform::kHttpAccessTypeDefaultProxy,
                                            .requestFlags = platform::kHttpFlagRefresh},
                                           redirects);
      ContentLength(*exchange.request);  // asked, as the first transfer does, and not used
      ReadBody(*exchange.request, cancelled, [&](const char* data, std::uint32_t read) {
        if (bytes->size() + read > kMaxMemoryDownload) Fail(L"Download too large.");
        bytes->insert(bytes->end(), data, data + read);
      });
      return bytes;
    } catch (const std::exception&) {
      bytes->clear();
    }
  }
  return bytes;
}

void DownloadManager::DownloadToMemoryAsync(const std::wstring& url, BytesCallback callback) {
  std::thread([self = shared_from_this(), url, callback = std::move(callback)] {
    std::unique_ptr<std::vector<char>> bytes = self->DownloadToMemory(url);
    if (self->cancelled) bytes.reset();
    if (callback) callback(std::move(bytes));
  }).detach();
}

std::wstring DownloadManager::LastFilePath() const {
  std::lock_guard lock(lastFilePathMutex);
  return lastFilePath;
}

void DownloadManager::SetLastFilePath(const std::wstring& path) {
  std::lock_guard lock(lastFilePathMutex);
  lastFilePath = path;
}

std::shared_ptr<DownloadManager> GetDownloadManager() {
  static const std::shared_ptr<DownloadManager> instance =
      std::make_shared<DownloadManager>(GetConfiguration());
  return instance;
}
