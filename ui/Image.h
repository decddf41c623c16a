// A decoded picture that image controls paint scaled to their rectangle.
// On Windows it wraps a GDI+ bitmap; natively it keeps the encoded bytes and
// the decoding result, so tests can tell what a control would show.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace ui {

class Image {
 public:
  virtual ~Image() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
};

// Decodes PNG bytes (and whatever else the platform's decoder reads); null
// when the bytes do not decode. Implemented by each ui backend.
std::shared_ptr<Image> DecodeImage(const std::vector<std::uint8_t>& bytes);

// The same for pictures built into the program, which always decode: a
// backend may decode them when first painted or measured instead of now
// (GDI+ takes tens of milliseconds for a page image, at start-up, for pages
// that are mostly never shown). Null for no bytes; a picture whose bytes turn
// out not to decode paints nothing.
std::shared_ptr<Image> DecodeBuiltInImage(std::vector<std::uint8_t> bytes);

}  // namespace ui
