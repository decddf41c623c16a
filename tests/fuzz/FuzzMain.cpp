// libFuzzer's entry for the target named by BRIMVALE_FUZZ_TARGET.
#include <cstdint>
#include <cstring>
#include <string_view>

#include "tests/fuzz/FuzzTargets.h"

namespace {

void (*Target())(std::string_view) {
  static void (*const run)(std::string_view) = [] {
    for (const fuzz::FuzzTarget& target : fuzz::FuzzTargets())
      if (std::strcmp(target.name, BRIMVALE_FUZZ_TARGET) == 0) return target.run;
    __builtin_trap();
  }();
  return run;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Target()(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
