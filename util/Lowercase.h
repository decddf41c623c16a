// Lower case as the C run-time library's wide conversions give it (towlower,
// _wcslwr_s): each code unit on its own.
#pragma once

#include <cwctype>
#include <string>

// One code unit. ASCII directly: the program never leaves the "C" locale,
// where towlower maps A-Z and leaves the rest of ASCII; it is the slow part
// of every registry and program-name rule.
inline wchar_t ToLowerWideChar(wchar_t c) {
  if (c < 0x80) return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + (L'a' - L'A')) : c;
  return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
}

std::wstring ToLowerWide(std::wstring text);
