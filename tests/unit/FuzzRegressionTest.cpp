// Every input a fuzz target once failed on (tests/data/fuzz/<target>/),
// replayed through that target: the fix holds. Under the sanitizer presets
// the replay also shows the memory errors and undefined behaviour.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "tests/fuzz/FuzzTargets.h"

namespace {

const std::filesystem::path kInputs = BRIMVALE_TEST_DATA "/fuzz";

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(FuzzRegressionTest, CommittedInputsPassTheirTargets) {
  std::set<std::string> names;
  for (const fuzz::FuzzTarget& target : fuzz::FuzzTargets()) names.insert(target.name);
  for (const auto& folder : std::filesystem::directory_iterator(kInputs)) {
    // A folder without its target would never be replayed.
    EXPECT_TRUE(names.contains(folder.path().filename().string())) << folder.path();
  }
  int replayed = 0;
  for (const fuzz::FuzzTarget& target : fuzz::FuzzTargets()) {
    const std::filesystem::path folder = kInputs / target.name;
    if (!std::filesystem::is_directory(folder)) continue;
    for (const auto& input : std::filesystem::directory_iterator(folder)) {
      SCOPED_TRACE(input.path().string());
      EXPECT_NO_THROW(target.run(ReadBytes(input.path())));
      ++replayed;
    }
  }
  EXPECT_GT(replayed, 0);
}
