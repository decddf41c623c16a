#include "platform/win32/Win32LocaleInfo.h"

#include <windows.h>

namespace platform::win32 {

static_assert(kLocaleNameMaxLength == LOCALE_NAME_MAX_LENGTH);

std::optional<std::wstring> Win32LocaleInfo::UserDefaultLocaleName() {
  wchar_t buffer[LOCALE_NAME_MAX_LENGTH] = {};
  if (::GetUserDefaultLocaleName(buffer, LOCALE_NAME_MAX_LENGTH) == 0) return std::nullopt;
  return std::wstring(buffer);
}

std::optional<std::wstring> Win32LocaleInfo::NativeLanguageName(const std::wstring& localeName) {
  wchar_t buffer[LOCALE_NAME_MAX_LENGTH] = {};
  if (::GetLocaleInfoEx(localeName.c_str(), LOCALE_SNATIVELANGNAME, buffer, LOCALE_NAME_MAX_LENGTH) == 0)
    return std::nullopt;
  return std::wstring(buffer);
}

}  // namespace platform::win32
