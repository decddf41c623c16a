#include "config/ConfigurationManager.h"
#include "locale/LanguageManager.h"
#include "resources/DialogIds.h"
#include "tests/fakes/TestServices.h"
#include "tests/fuzz/FuzzTargets.h"
#include "ui/Dialog.h"

namespace fuzz {
namespace {

// Every LOCALE resource is the fuzzed document.
class OneDocument : public platform::Resources {
 public:
  explicit OneDocument(std::string_view bytes) : bytes(bytes) {}
  platform::ResourceData Read(int, const std::wstring& type) override {
    if (type != platform::kLocaleResourceType) return {};
    return {.status = platform::ResourceStatus::Found,
            .error = platform::kErrorSuccess,
            .bytes = {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}};
  }

 private:
  std::string_view bytes;
};

}  // namespace

void LocaleDocument(std::string_view input) {
  fakes::TestServices machine;
  machine.environment->variables[L"LANG"] = L"de_DE.UTF-8";
  auto services = machine.Bundle();
  services.resources = std::make_shared<OneDocument>(input);
  // The download wizard's flag for the classic texts reads the override
  // document too: odd-sized inputs take that path.
  auto configuration = std::make_shared<ConfigurationManager>(services, BuiltInSettings{.wizardKey = "DLM"});
  configuration->btClassic = input.size() % 2 == 1;
  configuration->productTitle = L"Example {PRODUCT_TITLE}";
  LanguageManager manager(configuration);

  ui::Dialog page{ids::kLanguagePage};
  page.Create(nullptr);
  manager.PopulateLanguages(page.Item(ids::kLanguageCombo));
  for (const auto& [displayName, id] : std::map<std::wstring, int>(manager.languageByDisplayName)) {
    manager.SetLanguage(displayName);
    Expect(configuration->languageDisplayName == displayName, "a listed language could not be chosen");
    for (const auto& [key, text] : manager.texts) manager.GetText(key);
  }
}

}  // namespace fuzz
