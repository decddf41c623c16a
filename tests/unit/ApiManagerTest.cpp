#include "config/ApiManager.h"

#include <gtest/gtest.h>

#include "config/BrimvaleException.h"
#include "tests/fakes/FakeHttp.h"
#include "tests/fakes/TestServices.h"

namespace {

class ApiManagerTest : public testing::Test {
 protected:
  std::shared_ptr<ConfigurationManager> Configuration() {
    return std::make_shared<ConfigurationManager>(machine.Bundle(), BuiltInSettings{.wizardKey = "DLM"});
  }
  fakes::TestServices machine;
};

}  // namespace

// The request describes this wizard and this machine, members in key order,
// compact.
TEST_F(ApiManagerTest, BuildsTheRequestFromConfigurationAndMachine) {
  machine.environment->executablePath = L"C:\\Users\\u\\Downloads\\setup_ab1-cd2.exe";
  machine.system->Set({.version = {10, 0, 19045, 0}});
  auto configuration = Configuration();
  configuration->localeName = L"pt_BR";
  EXPECT_EQ(BuildConfigurationRequest(*configuration).dump(),
            R"({"a":"Quenbril","i":"Quenbril_DLM","l":"pt","o":"10.0.19045","plv":"3.0.13.11135","prv":"0.1",)"
            R"("s":"Quenbril_3cpp","u":"ab1-cd2"})");
}

// "l" is the locale's first two characters in lower case, or fewer.
TEST_F(ApiManagerTest, LanguageIsTheLocalesFirstTwoLettersLowerCased) {
  const std::pair<std::wstring, std::string> cases[] = {{L"pt_BR", "pt"}, {L"EN_us", "en"}, {L"X", "x"}, {L"", ""}};
  auto configuration = Configuration();
  for (const auto& [locale, language] : cases) {
    configuration->localeName = locale;
    EXPECT_EQ(BuildConfigurationRequest(*configuration)["l"], language);
  }
}

// A failed version query and a file name without tag leave "o" and "u" empty.
TEST_F(ApiManagerTest, UnknownTagAndVersionAreEmpty) {
  machine.system->Set({.rtlGetVersionStatus = static_cast<std::int32_t>(0xC0000001)});
  const auto request = BuildConfigurationRequest(*Configuration());
  EXPECT_EQ(request["o"], "");
  EXPECT_EQ(request["u"], "");
}

// Without a configuration URL nothing is attempted; a transport failure
// ends the request at once, without waits or further attempts. Each says
// what failed.
TEST_F(ApiManagerTest, FailsAtOnceWithoutUrlOrTransport) {
  const auto http = std::make_shared<fakes::FakeHttp>();  // refuses the connection
  machine.http = http;
  auto configuration = Configuration();
  ApiManager api(configuration);
  const auto failedStep = [&] {
    try {
      api.RequestConfiguration();
    } catch (const BrimvaleException& error) {
      return std::string(error.FailedStep()) + " " + std::to_string(error.ErrorCode());
    }
    return std::string("no exception");
  };
  EXPECT_EQ(failedStep(), "WinHttpConnect 12029");
  EXPECT_EQ(http->Recorded().accessTypes.size(), 1u);

  configuration->configUrl.clear();
  EXPECT_EQ(failedStep(), "configuration URL check 0");
  EXPECT_EQ(http->Recorded().accessTypes.size(), 1u);  // no session was opened
  EXPECT_TRUE(machine.clock->Sleeps().empty());
  EXPECT_TRUE(machine.debugOutput->Diagnostics().empty());
}
