#include "install/InstallerArguments.h"

#include <gtest/gtest.h>

#include "config/ConfigurationManager.h"
#include "tests/fakes/TestServices.h"

// Each flag lands at its places of the option string.
TEST(InstallerArguments, OptionStringPlacesEachFlag) {
  EXPECT_EQ(MakeBtOptionString({}), L"0000000101000000");
  EXPECT_EQ(MakeBtOptionString({true, true, true, true, true, true, true, true}), L"1110010101111110");
  const wchar_t* single[] = {
      L"0000000101000010",  // [0]
      L"0000000101001000",  // [1]
      L"0000000101000100",  // [2]
      L"0010000101000000",  // [3]
      L"0000010101000000",  // [4]
      L"1000000101010000",  // [5] twice
      L"0100000101000000",  // [6]
      L"0000000101100000",  // [7]
  };
  for (int flag = 0; flag < 8; ++flag) {
    std::array<bool, 8> options{};
    options[flag] = true;
    EXPECT_EQ(MakeBtOptionString(options), single[flag]) << flag;
  }
}

// Main product and offers take their arguments from different places.
TEST(InstallerArguments, MainProductAndOffersTakeTheirOwnArguments) {
  fakes::TestServices machine;
  ConfigurationManager config(machine.Bundle(), BuiltInSettings{.wizardKey = "ISV"});
  config.mainProductArguments = L"/quiet";
  config.btOptions[0] = true;
  EXPECT_EQ(MakeInstallerArguments(false, "/S /lang=\xC3\xA9", config, true), L"/S /lang=\u00E9");
  EXPECT_EQ(MakeInstallerArguments(true, "/offer", config, true), L"/quiet");
  config.btWarning = true;
  EXPECT_EQ(MakeInstallerArguments(true, "", config, true), L"/S /FORCEINSTALL 0000000101000010");
  EXPECT_EQ(MakeInstallerArguments(true, "", config, false), L"/quiet");
}
