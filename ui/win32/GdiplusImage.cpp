#include "ui/win32/GdiplusImage.h"

#include <shlwapi.h>

#include <climits>

#include "platform/win32/UniqueHandle.h"

namespace ui {

std::shared_ptr<Image> DecodeImage(const std::vector<std::uint8_t>& bytes) {
  if (bytes.empty() || bytes.size() > UINT_MAX) return nullptr;
  // The stream keeps its own copy of the bytes; the bitmap holds the stream
  // for as long as it needs it.
  const platform::win32::ComPtr<IStream> stream(::SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size())));
  if (!stream) return nullptr;
  std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream.Get()));
  if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) return nullptr;
  return std::make_shared<win32::GdiplusImage>(std::move(bitmap));
}

}  // namespace ui
