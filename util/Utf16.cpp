#include "util/Utf16.h"

std::wstring Utf16LeToWide(const std::vector<std::uint8_t>& bytes, std::size_t units) {
  units = std::min(units, bytes.size() / 2);
  std::wstring text;
  text.reserve(units);
  for (std::size_t i = 0; i < units; ++i) {
    const auto unit = static_cast<std::uint32_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    if constexpr (sizeof(wchar_t) == 4) {
      const auto next = i + 1 < units ? static_cast<std::uint32_t>(bytes[2 * i + 2] | (bytes[2 * i + 3] << 8)) : 0u;
      if (unit >= 0xD800 && unit <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
        text.push_back(static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00)));
        ++i;
        continue;
      }
    }
    text.push_back(static_cast<wchar_t>(unit));
  }
  return text;
}

std::vector<std::uint8_t> WideToUtf16Le(std::wstring_view text) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() * 2);
  const auto put = [&](std::uint32_t unit) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((unit >> 8) & 0xFF));
  };
  for (wchar_t c : text) {
    const auto cp = static_cast<std::uint32_t>(c);
    if (cp >= 0x10000) {  // only where wchar_t holds whole code points
      put(0xD800 + ((cp - 0x10000) >> 10));
      put(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      put(cp);
    }
  }
  return bytes;
}
