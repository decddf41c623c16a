// UTF-16LE bytes, as the registry stores strings, to and from wide strings.
// wchar_t is UTF-16 on Windows and UTF-32 on Linux; surrogate pairs are
// joined or split accordingly, an unpaired surrogate is kept as it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The first `units` UTF-16 code units of `bytes` (NULs included; fewer when
// the bytes run out).
std::wstring Utf16LeToWide(const std::vector<std::uint8_t>& bytes, std::size_t units);

// The UTF-16LE bytes of text, without a terminating NUL.
std::vector<std::uint8_t> WideToUtf16Le(std::wstring_view text);
