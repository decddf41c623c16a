// Conversions between UTF-8 and wide strings, used everywhere text crosses
// between JSON, locale documents or protocol text and the wide strings of the
// user interface. wchar_t is UTF-16 on Windows and UTF-32 on Linux; both are
// handled. Invalid input never throws: each malformed UTF-8 sequence and each
// unpaired surrogate becomes U+FFFD, as MultiByteToWideChar does since Vista.
#pragma once

#include <string>
#include <string_view>

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

// Narrowing as a Windows "ANSI" conversion would do it for text the wizard
// compares with ASCII patterns: ASCII stays, everything else becomes '?'.
std::string WideToAsciiLossy(std::wstring_view text);
