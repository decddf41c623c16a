// Number conversions and formatting of msvcrt.dll for the C++ code.
//
// libstdc++ has mingw compile every C++ source with mingw's own C99 printf
// and strtod, which bring about 35 KB of formatting and big-number code into
// the executable. What the wizard's C++ code and its libraries ask of them is
// plain: JSON numbers (strtod), the version number of the offer rules
// (wcstof), and hexadecimal and decimal integers for JSON escapes and XML
// errors (vsnprintf). msvcrt.dll, which the wizard imports anyway, does these
// the same, so the linker sends mingw's three functions here
// (--wrap, platform/win32/CMakeLists.txt). This file is C so that it sees
// msvcrt's own functions rather than mingw's.
#undef __USE_MINGW_ANSI_STDIO
#define __USE_MINGW_ANSI_STDIO 0

#include <errno.h>
#include <math.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

// mingw's header names its own strtod strtod; msvcrt's is the imported one.
#undef strtod
__declspec(dllimport) double __cdecl strtod(const char* text, char** end);

double __wrap___mingw_strtod(const char* text, char** end) { return strtod(text, end); }

// msvcrt has no wcstof: the double is narrowed, and what falls outside the
// range of float is reported the way wcstof reports it.
float __wrap___mingw_wcstof(const wchar_t* text, wchar_t** end) {
  const double value = wcstod(text, end);
  const float narrowed = (float)value;
  if (isinf(narrowed) && !isinf(value)) {
    errno = ERANGE;
  } else if (narrowed == 0.0f && value != 0.0) {
    errno = ERANGE;
  }
  return narrowed;
}

// C99 behaviour (always terminated, the full length returned) over msvcrt's
// _vsnprintf, as mingw's own wrapper gives it.
int __wrap___mingw_vsnprintf(char* buffer, size_t size, const char* format, va_list arguments) {
  return __ms_vsnprintf(buffer, size, format, arguments);
}
