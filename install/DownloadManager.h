// Fetches files and small resources over HTTP(S). DownloadFile writes one
// remote file into the download folder or the work folder, reporting
// progress to a window, with a WinHTTP-shaped transfer first and, after any
// failure and a 2-second pause, a WinINet-shaped one. DownloadToMemory
// fetches an image into memory. One instance per process (GetDownloadManager),
// shared by every page and worker.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "packages/MemoryDownloader.h"
#include "platform/Services.h"
#include "ui/PostedMessages.h"

class ConfigurationManager;

// first: the file is complete on disk; second: the error text ("[WINHTTP] "
// text of the first transfer, then " [WININET] " text of the second), empty
// when the first transfer succeeded, or exactly kChecksumMismatch.
using DownloadResult = std::pair<bool, std::wstring>;

// The error text of a download whose bytes do not have the answer's digest.
inline constexpr wchar_t kChecksumMismatch[] = L"checksum mismatch";

// A DownloadToMemory answer larger than this fails: an image host cannot
// make the wizard exhaust its memory.
inline constexpr std::size_t kMaxMemoryDownload = 32 * 1024 * 1024;

class DownloadManager : public MemoryDownloader, public std::enable_shared_from_this<DownloadManager> {
 public:
  // Works with the configuration's folders and its OS seam (files, http,
  // internet, clock, system and messageBoxes).
  explicit DownloadManager(std::shared_ptr<ConfigurationManager> configuration);

  // Blocking, for a worker thread. Writes the URL's body to `fileName` (or,
  // when empty, the name after the URL's last "/") in the configuration's
  // workFolder (`toTempFolder`) or downloadFolder, and posts
  // WM_DOWNLOAD_SIZE_UNKNOWN or WM_DOWNLOAD_PROGRESS (percent in wParam, at
  // most one per percentage point, then 100) to `window`. Follows at most 5
  // redirects. A file shorter than its Content-Length is a failure. When both
  // transfers fail the file is deleted. The error texts name the failing
  // step; "%d - %s" parts carry the Win32 code and its system text.
  //
  // A redirect from https to http is refused by both transfers: a program
  // that will run elevated is never fetched in plain text after the server
  // asked for TLS. A body that is a web page (DownloadCheck) fails the
  // transfer. With `expectedSha256` (hexadecimal, from the answer) the file
  // must have that digest: otherwise it is deleted and the download fails
  // at once with kChecksumMismatch (the same server would send the same
  // bytes to the second transfer).
  DownloadResult DownloadFile(const std::wstring& url, ui::WindowHandle window, const std::wstring& fileName,
                              bool toTempFolder, const std::string& expectedSha256 = {});
  // The second transfer of DownloadFile (WinINet-shaped: redirects are the
  // transport's, only status 200 is accepted; it stops at the next chunk
  // after `cancelled` is set). A digest mismatch deletes the file and
  // answers kChecksumMismatch.
  DownloadResult DownloadFileFallback(const std::wstring& url, ui::WindowHandle window,
                                      const std::wstring& fileName, bool toTempFolder,
                                      const std::string& expectedSha256 = {});

  // Blocking. The body of the URL, or an empty vector after two failed
  // attempts (any status outside 200-299, more than 5 redirects, more than
  // kMaxMemoryDownload bytes, cancellation, transport errors). Never null.
  std::unique_ptr<std::vector<char>> DownloadToMemory(const std::wstring& url);

  // DownloadToMemory on a detached thread of its own, which keeps this
  // manager alive (it must be held by a shared_ptr). The callback runs on
  // that thread with the bytes, or with null when `cancelled` was set by
  // then; window work must be posted to the window thread.
  void DownloadToMemoryAsync(const std::wstring& url, BytesCallback callback) override;

  // Full path of the last file a DownloadFile call completed. Read it after
  // that call's future is ready and before the next download starts.
  std::wstring LastFilePath() const;

  // Set once by the window thread when the user leaves; never reset. The
  // WinHTTP-shaped loops stop at their next chunk ("Download cancelled."),
  // and DownloadFile then tries no second transfer and deletes its file.
  std::atomic<bool> cancelled{false};

 private:
  void SetLastFilePath(const std::wstring& path);

  std::shared_ptr<ConfigurationManager> configuration;
  platform::Services services;
  mutable std::mutex lastFilePathMutex;
  std::wstring lastFilePath;
};

// The process-wide manager, created on first use with GetConfiguration();
// it lives until the process ends.
std::shared_ptr<DownloadManager> GetDownloadManager();
