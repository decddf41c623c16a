#include "tests/fuzz/FuzzTargets.h"

namespace fuzz {

void Expect(bool holds, const std::string& what) {
  if (!holds) throw FuzzFinding(what);
}

RegPrefixed SplitRegPrefix(std::string_view input) {
  const std::size_t nul = input.find('\0');
  if (nul == std::string_view::npos) return {{}, input};
  return {input.substr(0, nul), input.substr(nul + 1)};
}

const std::vector<FuzzTarget>& FuzzTargets() {
  static const std::vector<FuzzTarget> targets = {
      {"configuration-answer", ConfigurationAnswer},
      {"locale-document", LocaleDocument},
      {"registry-rules", RegistryRules},
      {"url", Url},
      {"server-request", ServerRequest},
  };
  return targets;
}

}  // namespace fuzz
