// Package::DownloadImage: the offer's picture from the image endpoint.
#include "config/ConfigurationManager.h"
#include "packages/MemoryDownloader.h"
#include "packages/Package.h"
#include "ui/Image.h"
#include "util/Utf8.h"

void Package::DownloadImage(std::function<void()> callback, MemoryDownloader& downloads) {
  const std::shared_ptr<ConfigurationManager> config = configuration.lock();
  if (isMainProduct || !config) {
    if (callback) callback();
    return;
  }
  const std::wstring url = config->imageBaseUrl + Utf8ToWide(imageName);
  downloads.DownloadToMemoryAsync(
      url, [self = shared_from_this(), callback = std::move(callback)](std::unique_ptr<std::vector<char>> bytes) {
        if (bytes && !bytes->empty()) self->image = ui::DecodeImage(std::vector<std::uint8_t>(bytes->begin(), bytes->end()));
        if (callback) callback();
      });
}
