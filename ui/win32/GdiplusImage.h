// A picture decoded by GDI+. GDI+ must be running (ui::Startup) while any
// of these exists.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <algorithm>
#include <memory>

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

  int Width() const override { return static_cast<int>(bitmap->GetWidth()); }
  int Height() const override { return static_cast<int>(bitmap->GetHeight()); }
  Gdiplus::Bitmap* Get() const { return bitmap.get(); }

 private:
  std::unique_ptr<Gdiplus::Bitmap> bitmap;
};

}  // namespace ui::win32
