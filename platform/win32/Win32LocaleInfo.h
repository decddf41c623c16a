// The user's locale and native language names from Windows' national
// language support.
#pragma once

#include "platform/LocaleInfo.h"

namespace platform::win32 {

class Win32LocaleInfo : public LocaleInfo {
 public:
  std::optional<std::wstring> UserDefaultLocaleName() override;
  std::optional<std::wstring> NativeLanguageName(const std::wstring& localeName) override;
};

}  // namespace platform::win32
