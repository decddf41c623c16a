#include <nlohmann/json.hpp>

#include "config/ConfigurationManager.h"
#include "packages/Package.h"
#include "pages/ConfigurationAnswer.h"
#include "platform/posix/RegFile.h"
#include "tests/fakes/AnsweringHttp.h"
#include "tests/fakes/TestServices.h"
#include "tests/fuzz/FuzzTargets.h"

namespace fuzz {

void ConfigurationAnswer(std::string_view input) {
  const RegPrefixed parts = SplitRegPrefix(input);
  const nlohmann::json answer = nlohmann::json::parse(parts.rest, nullptr, false);
  if (answer.is_discarded()) return;  // the request fails before any of this runs

  fakes::TestServices machine;
  auto registry = std::make_shared<platform::posix::MemoryRegistry>(true);
  try {
    platform::posix::ImportRegText(*registry, parts.reg);
  } catch (const std::runtime_error&) {
    // The lines before the one it did not understand make the machine.
  }
  machine.system->Set({.version = {.major = 10, .minor = 0, .build = 19045}, .wow64 = true});
  machine.knownFolders->folders[platform::KnownFolder::Desktop] = L"C:\\Users\\u\\Desktop";
  machine.knownFolders->folders[platform::KnownFolder::LocalAppData] = machine.scratch.Wide() + L"\\Local";
  machine.machine->freeBytesByPath = {{L"C:\\", 100ull << 20}};
  machine.machine->totalMemoryBytes = 1024ull << 20;
  machine.machine->processes = {L"System", L"Example.exe", L"my.tool.exe"};
  const auto configuration = machine.Configuration(registry, std::make_shared<fakes::AnsweringHttp>());

  std::optional<std::vector<std::shared_ptr<Package>>> offers;
  try {
    offers = ReadConfigurationAnswer(answer, configuration);
  } catch (const FuzzFinding&) {
    throw;
  } catch (const std::exception&) {
    return;  // a configuration error: the loading page shows it
  }
  if (!offers) {
    Expect(configuration->productTitle.empty() || configuration->productUrl.empty(),
           "an answer with a title and a URL was refused");
    return;
  }
  Expect(offers->size() <= static_cast<std::size_t>(std::max(configuration->offerLimit, 0)),
         "more offers accepted than the answer's limit");
  for (const auto& offer : *offers) {
    Expect(!offer->isMainProduct, "an offer became the main product");
    offer->ExpandPlaceholders(offer->u);
  }
}

}  // namespace fuzz
