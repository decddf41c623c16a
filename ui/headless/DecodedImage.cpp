#include "ui/headless/DecodedImage.h"

#include <png.h>


namespace ui::headless {

DecodedImage::DecodedImage(std::vector<std::uint8_t> encoded, int width, int height, std::vector<std::uint8_t> rgba)
    : encoded(std::move(encoded)), width(width), height(height), rgba(std::move(rgba)) {}

Rgba DecodedImage::PixelAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return {};
  const std::size_t offset = (static_cast<std::size_t>(y) * width + x) * 4;
  return {rgba[offset], rgba[offset + 1], rgba[offset + 2], rgba[offset + 3]};
}

}  // namespace ui::headless

namespace ui {

std::shared_ptr<Image> DecodeImage(const std::vector<std::uint8_t>& bytes) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (bytes.empty() || !png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return nullptr;
  image.format = PNG_FORMAT_RGBA;
  // Pictures that would take more than 256 MiB are refused, not allocated.
  constexpr std::size_t kMaxPixelBytes = 256u << 20;
  const std::size_t size = PNG_IMAGE_SIZE(image);
  if (size == 0 || size > kMaxPixelBytes) {
    png_image_free(&image);
    return nullptr;
  }
  std::vector<std::uint8_t> pixels(size);
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
    png_image_free(&image);
    return nullptr;
  }
  return std::make_shared<headless::DecodedImage>(bytes, static_cast<int>(image.width),
                                                  static_cast<int>(image.height), std::move(pixels));
}

// Decoding here is cheap and shows a bad picture at once.
std::shared_ptr<Image> DecodeBuiltInImage(std::vector<std::uint8_t> bytes) { return DecodeImage(bytes); }

}  // namespace ui

