// The user's locale and the names of languages, as Windows' national
// language support gives them. Locale names are in the Windows form:
// language, then optional script and region, joined by hyphens ("en-US",
// "pt-BR", "sr-Latn-RS").
#pragma once

#include <optional>
#include <string>

namespace platform {

// LOCALE_NAME_MAX_LENGTH: the buffer size of both calls, NUL included.
inline constexpr std::size_t kLocaleNameMaxLength = 85;

class LocaleInfo {
 public:
  virtual ~LocaleInfo() = default;

  // GetUserDefaultLocaleName with an 85-character buffer: the user's locale
  // name, or nullopt when the call fails (returns 0).
  virtual std::optional<std::wstring> UserDefaultLocaleName() = 0;

  // GetLocaleInfoEx(localeName, LOCALE_SNATIVELANGNAME) with an
  // 85-character buffer: the language's name in that language ("English",
  // "español", "polski"), or nullopt when the call fails: for a name that
  // is not a locale name ("xx", "x-private") or a language the system has no
  // data for. Whether a POSIX-style name ("pt_BR") is accepted differs
  // between systems (Wine accepts it, the posix backend does not), so
  // callers that hold one fall back to its language ("pt") on failure.
  virtual std::optional<std::wstring> NativeLanguageName(const std::wstring& localeName) = 0;
};

}  // namespace platform
