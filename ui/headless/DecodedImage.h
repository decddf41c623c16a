// A picture decoded natively (PNG through libpng). It keeps the encoded
// bytes and the RGBA pixels, so tests can tell what a control would show.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/Image.h"

namespace ui::headless {

struct Rgba {
  std::uint8_t red = 0, green = 0, blue = 0, alpha = 0;
  bool operator==(const Rgba&) const = default;
};

class DecodedImage : public Image {
 public:
  DecodedImage(std::vector<std::uint8_t> encoded, int width, int height, std::vector<std::uint8_t> rgba);

  int Width() const override { return width; }
  int Height() const override { return height; }
  const std::vector<std::uint8_t>& EncodedBytes() const { return encoded; }
  Rgba PixelAt(int x, int y) const;

 private:
  std::vector<std::uint8_t> encoded;
  int width;
  int height;
  std::vector<std::uint8_t> rgba;  // rows top to bottom, 4 bytes a pixel
};

}  // namespace ui::headless
