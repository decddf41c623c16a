#include "platform/WindowsVersion.h"

#include <gtest/gtest.h>

#include "platform/posix/SimulatedSystemInfo.h"

using platform::posix::SimulatedSystemInfo;
using platform::posix::SimulatedWindows;

TEST(WindowsVersion, ComparesMajorMinorAndServicePack) {
  struct Case {
    platform::OsVersion running;
    std::uint32_t major, minor;
    std::uint16_t servicePack;
    bool atLeast;
  };
  const Case cases[] = {
      {{6, 1, 7600, 0}, 6, 1, 0, true},   {{6, 1, 7600, 0}, 6, 1, 1, false},
      {{6, 1, 7601, 1}, 6, 1, 1, true},   {{6, 1, 7601, 1}, 6, 2, 0, false},
      {{10, 0, 19045, 0}, 6, 1, 1, true},  // a higher minor or major outranks the service pack
      {{10, 0, 19045, 0}, 10, 0, 0, true}, {{6, 3, 9600, 0}, 10, 0, 0, false},
      {{5, 1, 2600, 3}, 6, 0, 0, false},
  };
  for (const auto& c : cases) {
    SimulatedSystemInfo system(SimulatedWindows{.version = c.running});
    EXPECT_EQ(IsWindowsVersionAtLeast(system, c.major, c.minor, c.servicePack), c.atLeast)
        << c.running.major << "." << c.running.minor << " sp" << c.running.servicePackMajor << " vs " << c.major
        << "." << c.minor << " sp" << c.servicePack;
  }
}

TEST(WindowsVersion, FormatsMajorMinorBuildOrNothingOnFailure) {
  SimulatedSystemInfo windows10(SimulatedWindows{.version = {10, 0, 19045, 0}});
  EXPECT_EQ(GetOsVersionString(windows10), "10.0.19045");
  SimulatedSystemInfo failing(SimulatedWindows{.rtlGetVersionStatus = static_cast<std::int32_t>(0xC0000001)});
  EXPECT_EQ(GetOsVersionString(failing), "");
}

TEST(WindowsVersion, SixtyFourBitOnlyWhenWow64ProcessSaysSo) {
  EXPECT_TRUE(Is64BitWindows(*std::make_unique<SimulatedSystemInfo>(SimulatedWindows{.wow64 = true})));
  EXPECT_FALSE(Is64BitWindows(*std::make_unique<SimulatedSystemInfo>(SimulatedWindows{.wow64 = false})));
  EXPECT_FALSE(Is64BitWindows(*std::make_unique<SimulatedSystemInfo>(SimulatedWindows{.wow64 = std::nullopt})));
}
