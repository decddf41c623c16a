#include "platform/posix/IcuLocaleInfo.h"

#include <unicode/uloc.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <array>

#include "util/Utf8.h"

namespace platform::posix {
namespace {

// The ICU locale id of a complete BCP 47 tag, or nullopt when some part of
// the text is not a tag.
std::optional<std::string> LocaleIdOfTag(const std::string& tag) {
  if (tag.empty() || tag.size() >= kLocaleNameMaxLength) return std::nullopt;
  std::array<char, ULOC_FULLNAME_CAPACITY> id{};
  int32_t parsed = 0;
  UErrorCode status = U_ZERO_ERROR;
  uloc_forLanguageTag(tag.c_str(), id.data(), static_cast<int32_t>(id.size()), &parsed, &status);
  if (U_FAILURE(status) || status == U_STRING_NOT_TERMINATED_WARNING || parsed != static_cast<int32_t>(tag.size()))
    return std::nullopt;
  return std::string(id.data());
}

// The language's name in the language of `displayLocale`, or nullopt when
// ICU has no data for that and falls back to its root locale.
std::optional<std::wstring> DisplayLanguage(const std::string& localeId, const std::string& displayLocale) {
  std::array<UChar, kLocaleNameMaxLength> name{};
  UErrorCode status = U_ZERO_ERROR;
  const int32_t length = uloc_getDisplayLanguage(localeId.c_str(), displayLocale.c_str(), name.data(),
                                                 static_cast<int32_t>(name.size()), &status);
  if (U_FAILURE(status) || status == U_USING_DEFAULT_WARNING || length <= 0 ||
      length >= static_cast<int32_t>(name.size()))
    return std::nullopt;
  std::string utf8;
  icu::UnicodeString(name.data(), length).toUTF8String(utf8);
  return Utf8ToWide(utf8);
}

}  // namespace

std::optional<std::wstring> IcuLocaleInfo::UserDefaultLocaleName() {
  std::wstring value;
  for (const wchar_t* variable : {L"LC_ALL", L"LC_MESSAGES", L"LANG"}) {
    if (auto set = environment->Variable(variable); set && !set->empty()) {
      value = *set;
      break;
    }
  }
  // language[_territory][.codeset][@modifier]
  value = value.substr(0, value.find_first_of(L".@"));
  if (value.empty() || value == L"C" || value == L"POSIX") return std::nullopt;
  std::replace(value.begin(), value.end(), L'_', L'-');
  if (!LocaleIdOfTag(WideToUtf8(value))) return std::nullopt;
  return value;
}

std::optional<std::wstring> IcuLocaleInfo::NativeLanguageName(const std::wstring& localeName) {
  const auto id = LocaleIdOfTag(WideToUtf8(localeName));
  if (!id) return std::nullopt;
  std::array<char, ULOC_LANG_CAPACITY> language{};
  UErrorCode status = U_ZERO_ERROR;
  uloc_getLanguage(id->c_str(), language.data(), static_cast<int32_t>(language.size()), &status);
  if (U_FAILURE(status) || language[0] == '\0') return std::nullopt;
  // A script or region without data of its own ("mn-Mong") still has the
  // language's name.
  if (auto name = DisplayLanguage(*id, *id)) return name;
  return DisplayLanguage(*id, language.data());
}

}  // namespace platform::posix
