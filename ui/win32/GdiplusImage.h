// A picture decoded by GDI+. GDI+ must be running (ui::Startup) while any
// of these exists.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

// The GDI+ headers use min and max, which NOMINMAX keeps out of <windows.h>.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include "ui/Image.h"

namespace ui::win32 {

class GdiplusImage : public Image {
 public:
  explicit GdiplusImage(std::unique_ptr<Gdiplus::Bitmap> bitmap) : bitmap(std::move(bitmap)) {}
  // A picture decoded from these bytes when first asked for, on the thread
  // that asks (built-in pictures, painted by the window thread).
  explicit GdiplusImage(std::vector<std::uint8_t> encoded) : encoded(std::move(encoded)) {}

  int Width() const override;
  int Height() const override;
  // Null when the bytes did not decode.
  Gdiplus::Bitmap* Get() const;

 private:
  mutable std::vector<std::uint8_t> encoded;
  mutable std::unique_ptr<Gdiplus::Bitmap> bitmap;
};

}  // namespace ui::win32
