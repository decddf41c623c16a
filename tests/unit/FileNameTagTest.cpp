#include "config/FileNameTag.h"

#include <gtest/gtest.h>

#include "tests/fakes/TestServices.h"

TEST(FileNameTag, TakesSevenCharactersWithAHyphenAfterTheLastUnderscore) {
  struct Case {
    const wchar_t* path;
    const wchar_t* tag;
  };
  const Case cases[] = {
      {L"C:\\Users\\u\\Downloads\\setup_ab1-cd2.exe", L"ab1-cd2"},
      {L"C:\\Users\\u\\Downloads\\setup_ab1-cd2 (1).exe", L""},  // 11 characters
      {L"C:\\my_tools\\setup.exe", L""},                          // underscore in the folder
      {L"C:\\setup_abcdefg.exe", L""},                             // no hyphen
      {L"C:\\setup.exe", L""},
      {L"C:\\x_a.b-cdefg.exe", L""},  // cut at the last dot: "a.b-cdefg" is 9 long
  };
  for (const auto& c : cases) EXPECT_EQ(FileNameTagOf(c.path), c.tag) << testing::PrintToString(c.path);
  // Without an extension the whole remainder counts.
  EXPECT_EQ(FileNameTagOf(L"C:\\setup_ab1-cd2"), L"ab1-cd2");
}

TEST(FileNameTag, ReadsTheExecutablePathThroughTheSeam) {
  fakes::FakeEnvironment environment;
  environment.executablePath = L"C:\\Downloads\\Setup_x-y-z12.exe";
  EXPECT_EQ(GetFileNameTag(environment), L"x-y-z12");
}
