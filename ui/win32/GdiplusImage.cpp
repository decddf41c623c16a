#include "ui/win32/GdiplusImage.h"

#include <shlwapi.h>

#include <climits>

#include "platform/win32/UniqueHandle.h"

namespace {

std::unique_ptr<Gdiplus::Bitmap> DecodeBitmap(const std::vector<std::uint8_t>& bytes) {
  if (bytes.empty() || bytes.size() > UINT_MAX) return nullptr;
  // The stream keeps its own copy of the bytes; the bitmap holds the stream
  // for as long as it needs it.
  const platform::win32::ComPtr<IStream> stream(::SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size())));
  if (!stream) return nullptr;
  std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream.Get()));
  if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) return nullptr;
  return bitmap;
}

}  // namespace

namespace ui {

namespace win32 {

Gdiplus::Bitmap* GdiplusImage::Get() const {
  if (!bitmap && !encoded.empty()) {
    bitmap = DecodeBitmap(encoded);
    encoded = {};
  }
  return bitmap.get();
}

int GdiplusImage::Width() const { return Get() ? static_cast<int>(bitmap->GetWidth()) : 0; }
int GdiplusImage::Height() const { return Get() ? static_cast<int>(bitmap->GetHeight()) : 0; }

}  // namespace win32

std::shared_ptr<Image> DecodeImage(const std::vector<std::uint8_t>& bytes) {
  auto bitmap = DecodeBitmap(bytes);
  if (!bitmap) return nullptr;
  return std::make_shared<win32::GdiplusImage>(std::move(bitmap));
}

std::shared_ptr<Image> DecodeBuiltInImage(std::vector<std::uint8_t> bytes) {
  if (bytes.empty()) return nullptr;
  return std::make_shared<win32::GdiplusImage>(std::move(bytes));
}

}  // namespace ui
