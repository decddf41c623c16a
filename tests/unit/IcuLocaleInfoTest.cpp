#include "platform/posix/IcuLocaleInfo.h"

#include <gtest/gtest.h>

#include "tests/fakes/TestServices.h"
#include "util/Utf8.h"

namespace {

struct LocaleVariables {
  std::map<std::wstring, std::wstring> variables;
  std::optional<std::wstring> expected;
};

}  // namespace

// The user's locale follows POSIX precedence and comes out in the Windows
// form; an unset or C locale fails like a failed GetUserDefaultLocaleName.
TEST(IcuLocaleInfo, UserLocaleFromPosixVariables) {
  const LocaleVariables cases[] = {
      {{{L"LANG", L"pt_BR.UTF-8"}}, L"pt-BR"},
      {{{L"LANG", L"de_AT@euro"}}, L"de-AT"},
      {{{L"LANG", L"pl"}}, L"pl"},
      {{{L"LANG", L"en_US.UTF-8"}, {L"LC_MESSAGES", L"es_ES.UTF-8"}}, L"es-ES"},
      {{{L"LANG", L"en_US.UTF-8"}, {L"LC_MESSAGES", L"es_ES.UTF-8"}, {L"LC_ALL", L"fr_FR"}}, L"fr-FR"},
      {{{L"LANG", L"ru_RU.UTF-8"}, {L"LC_ALL", L""}}, L"ru-RU"},  // empty counts as unset
      {{}, std::nullopt},
      {{{L"LANG", L"C.UTF-8"}}, std::nullopt},
      {{{L"LANG", L"POSIX"}}, std::nullopt},
      {{{L"LANG", L"not a locale"}}, std::nullopt},
  };
  for (const auto& c : cases) {
    auto environment = std::make_shared<fakes::FakeEnvironment>();
    environment->variables = c.variables;
    platform::posix::IcuLocaleInfo info(environment);
    EXPECT_EQ(info.UserDefaultLocaleName(), c.expected) << testing::PrintToString(c.variables);
  }
}

// Native names are the language's own, whatever the region; names that are
// not Windows locale names or that no data exists for fail, so callers can
// fall back to the bare language.
TEST(IcuLocaleInfo, NativeLanguageNames) {
  const std::pair<std::wstring, std::optional<std::wstring>> cases[] = {
      {L"en-US", L"English"},
      {L"en-GB", L"English"},
      {L"es", L"espa\u00F1ol"},
      {L"pt-BR", L"portugu\u00EAs"},
      {L"pt", L"portugu\u00EAs"},
      {L"de-AT", L"Deutsch"},
      {L"cs", L"\u010De\u0161tina"},
      {L"ru", L"\u0440\u0443\u0441\u0441\u043A\u0438\u0439"},
      {L"tr", L"T\u00FCrk\u00E7e"},
      {L"ja-JP", L"\u65E5\u672C\u8A9E"},
      {L"mn-Mong", L"\u043C\u043E\u043D\u0433\u043E\u043B"},  // script without data of its own
      {L"pt_BR", std::nullopt},
      {L"en_US", std::nullopt},
      {L"xx", std::nullopt},
      {L"xx-YY", std::nullopt},
      {L"", std::nullopt},
      {L"x-private", std::nullopt},
      {std::wstring(100, L'a'), std::nullopt},
  };
  platform::posix::IcuLocaleInfo info(std::make_shared<fakes::FakeEnvironment>());
  for (const auto& [name, expected] : cases) EXPECT_EQ(info.NativeLanguageName(name), expected) << WideToUtf8(name);
}
