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

}  // namespace ui
