// What a package needs to fetch its picture: a small body fetched into memory
// on a thread of its own. The download manager is one; the package names
// only this, so packages never depend on the downloads above them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class MemoryDownloader {
 public:
  // The bytes of the body, or null when the fetch was cancelled.
  using BytesCallback = std::function<void(std::unique_ptr<std::vector<char>>)>;

  virtual ~MemoryDownloader() = default;
  // Returns at once; the callback runs on the fetching thread, which keeps
  // the downloader alive until it has run.
  virtual void DownloadToMemoryAsync(const std::wstring& url, BytesCallback callback) = 0;
};
