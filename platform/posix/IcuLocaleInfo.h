// The user's locale and native language names on Linux: the locale comes
// from the POSIX locale variables, the names from ICU's locale data.
#pragma once

#include <memory>

#include "platform/Environment.h"
#include "platform/LocaleInfo.h"

namespace platform::posix {

class IcuLocaleInfo : public LocaleInfo {
 public:
  explicit IcuLocaleInfo(std::shared_ptr<Environment> environment) : environment(std::move(environment)) {}

  // The first set of LC_ALL, LC_MESSAGES and LANG, in the Windows form:
  // "pt_BR.UTF-8@euro" gives "pt-BR". Fails when none is set or the locale
  // is "C" or "POSIX", which name no language.
  std::optional<std::wstring> UserDefaultLocaleName() override;

  // Fails, as GetLocaleInfoEx does, for anything but a well-formed hyphenated
  // locale name and for a language ICU has no data for.
  std::optional<std::wstring> NativeLanguageName(const std::wstring& localeName) override;

 private:
  std::shared_ptr<Environment> environment;
};

}  // namespace platform::posix
