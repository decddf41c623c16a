#include "install/TargetPath.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "config/ConfigurationManager.h"
#include "tests/fakes/TestServices.h"
#include "util/Utf8.h"

namespace {

class TargetPathTest : public testing::Test {
 protected:
  TargetPathTest() : config(machine.Bundle(), BuiltInSettings{.wizardKey = "DLM"}) {
    std::filesystem::create_directories(machine.scratch.Path() / "Downloads");
    std::filesystem::create_directories(machine.scratch.Path() / "work");
    config.downloadFolder = machine.scratch.Wide() + L"\\Downloads";
    config.workFolder = machine.scratch.Wide() + L"\\work";
  }
  fakes::TestServices machine;
  ConfigurationManager config;
};

}  // namespace

// The name comes after the URL's last slash, query included; unsafe names give no path.
TEST_F(TargetPathTest, NamesFromUrlsStayInTheirFolder) {
  const struct {
    std::wstring url;
    std::wstring name;  // empty: no path
  } cases[] = {
      {L"https://files.example/a/setup.exe", L"setup.exe"},
      {L"https://files.example/get?id=1", L"get?id=1"},  // the output file refuses it later
      {L"https://files.example/", L""},
      {L"https://files.example/a/..", L""},
      {L"https://files.example/a/.", L""},
      {L"https://files.example/x\\..\\..\\evil.exe", L""},
      {L"https://files.example/. .", L""},  // Windows drops trailing dots and blanks: the folder
      {L"https://files.example/setup.exe:payload", L""},  // a stream
      {L"https://files.example/c:evil.exe", L""},
      {L"https://files.example/CON", L""},
      {L"https://files.example/nul.exe", L""},
      {L"https://files.example/Com1 .zip", L""},
      {L"https://files.example/lpt\u00B9", L""},
      {L"https://files.example/conin$", L""},
      {L"https://files.example/console.exe", L"console.exe"},
      {L"https://files.example/com10.exe", L"com10.exe"},
      {L"https://files.example/..setup.exe", L"..setup.exe"},
      {L"no-slash", L""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MakeTargetPathFromUrl(config, c.url, false), c.name.empty() ? L"" : config.downloadFolder + L"\\" + c.name)
        << WideToUtf8(c.url);
  EXPECT_EQ(MakeTargetPath(config, L"setup.exe", true), config.workFolder + L"\\setup.exe");
  EXPECT_EQ(MakeTargetPath(config, L"sub/setup.exe", true), L"");
  EXPECT_EQ(MakeTargetPath(config, std::wstring(300, L'a'), true), L"");
  EXPECT_TRUE(machine.messageBoxes->Shown().empty());
}

// A missing folder is reported with a message box and gives no path.
TEST_F(TargetPathTest, MissingFolderShowsInvalidPath) {
  config.workFolder = machine.scratch.Wide() + L"\\missing";
  EXPECT_EQ(MakeTargetPath(config, L"setup.exe", true), L"");
  ASSERT_EQ(machine.messageBoxes->Shown().size(), 1u);
  EXPECT_EQ(machine.messageBoxes->Shown()[0].text, L"Invalid path");
}
