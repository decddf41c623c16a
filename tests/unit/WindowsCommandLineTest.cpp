#include "platform/posix/WindowsCommandLine.h"

#include <gtest/gtest.h>

#include "util/Utf8.h"

using platform::posix::SplitWindowsCommandLine;

// Command lines split as a Windows program reads its own.
TEST(WindowsCommandLine, SplitsByTheRulesOfWindowsPrograms) {
  const struct {
    std::wstring line;
    std::vector<std::wstring> tokens;
  } cases[] = {
      {LR"("C:\Program Files\setup.exe" /S)", {LR"(C:\Program Files\setup.exe)", L"/S"}},
      {LR"("C:\a\setup.exe" )", {LR"(C:\a\setup.exe)"}},
      {LR"(C:\a\setup.exe  /S   /D=x)", {LR"(C:\a\setup.exe)", L"/S", L"/D=x"}},
      {LR"("p" "two words" "" x)", {L"p", L"two words", L"", L"x"}},
      {LR"("p" a\\b a\"b a\\"b c" d)", {L"p", LR"(a\\b)", LR"(a"b)", LR"(a\b c)", L"d"}},
      {LR"("p" "say ""hi""")", {L"p", LR"(say "hi")"}},
      {LR"("p\" x)", {LR"(p\)", L"x"}},  // the program name takes no escapes
  };
  for (const auto& c : cases) EXPECT_EQ(SplitWindowsCommandLine(c.line), c.tokens) << WideToUtf8(c.line);
}
