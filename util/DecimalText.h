// Integers as decimal wide text. std::to_wstring formats through the C
// library's wide printf, which is a large share of the Windows executable;
// std::to_chars writes the same digits without it.
#pragma once

#include <charconv>
#include <concepts>
#include <string>

template <std::integral Integer>
std::wstring DecimalText(Integer value) {
  char digits[24];  // the longest 64-bit value with its sign
  const char* begin = digits;
  const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  return std::wstring(begin, end);
}
