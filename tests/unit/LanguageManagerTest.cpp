#include <gtest/gtest.h>

#include "config/ConfigurationManager.h"
#include "locale/LanguageManager.h"
#include "resources/DialogIds.h"
#include "tests/fakes/TestServices.h"
#include "ui/Dialog.h"
#include "ui/WindowStyles.h"

namespace {

using platform::posix::ShownMessageBox;

class LanguageManagerTest : public testing::Test {
 protected:
  std::shared_ptr<ConfigurationManager> Configure(const std::string& wizardKey) {
    configuration = std::make_shared<ConfigurationManager>(services.Bundle(), BuiltInSettings{.wizardKey = wizardKey});
    manager = std::make_shared<LanguageManager>(configuration);
    return configuration;
  }

  // The language list of the language page, filled for a user locale.
  ui::Control Populate(const std::wstring& userLocale) {
    if (userLocale.empty()) {
      services.environment->variables.clear();
    } else {
      services.environment->variables[L"LANG"] = userLocale;
    }
    list.Create(nullptr);
    manager->PopulateLanguages(list.Item(ids::kLanguageCombo));
    return list.Item(ids::kLanguageCombo);
  }

  std::vector<std::wstring> Messages() const {
    std::vector<std::wstring> texts;
    for (const ShownMessageBox& box : services.messageBoxes->Shown()) texts.push_back(box.text);
    return texts;
  }

  bool Load(const char* xml) {
    tinyxml2::XMLDocument document = MakeLocaleDocument();
    document.Parse(xml);
    return manager->LoadTexts(document);
  }

  fakes::TestServices services;
  std::shared_ptr<ConfigurationManager> configuration;
  std::shared_ptr<LanguageManager> manager;
  ui::Dialog list{ids::kLanguagePage};
};

// The download-manager wizard lists its 14 documents in order, Polish twice, and preselects by language alone.
TEST_F(LanguageManagerTest, ListsDocumentsAndPreselectsTheUsersLanguage) {
  struct Case {
    std::wstring userLocale;
    int selected;
  };
  for (const Case& c : {Case{L"en_GB.UTF-8", 0}, Case{L"ja_JP.UTF-8", 0}, Case{L"", 0}, Case{L"pl_PL.UTF-8", 11},
                        Case{L"de_AT.UTF-8", 6}, Case{L"pt_PT.UTF-8", 2}, Case{L"es_MX.UTF-8", 1}}) {
    Configure("DLM");
    const ui::Control combo = Populate(c.userLocale);
    ASSERT_EQ(combo.ItemCount(), 14);
    EXPECT_EQ(combo.Selection(), c.selected) << c.userLocale;
    list.DestroyWindow();
  }
  Configure("DLM");
  const ui::Control combo = Populate(L"pl_PL.UTF-8");
  EXPECT_EQ(combo.ItemText(0), L"English");
  EXPECT_EQ(combo.ItemText(1), L"español");
  EXPECT_EQ(combo.ItemText(3), L"polski");
  EXPECT_EQ(combo.ItemText(11), L"polski");
  EXPECT_EQ(combo.ItemText(13), L"Türkçe");
  EXPECT_EQ(manager->GetLocaleResourceIds(),
            (std::vector<int>{105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118}));
  // Both Polish items load the later document.
  EXPECT_EQ(manager->languageByDisplayName.at(L"polski"), 116);
  EXPECT_EQ(manager->localeByDisplayName.at(L"português"), L"pt_BR");
  EXPECT_TRUE(Messages().empty());
}

// The vendor wizard offers English and Spanish; the BT classic flag hides the list.
TEST_F(LanguageManagerTest, VendorWizardListAndHiddenListForBtClassic) {
  Configure("ISV")->btClassic = true;
  EXPECT_EQ(manager->GetLocaleResourceIds(), (std::vector<int>{101, 102}));
  const ui::Control combo = Populate(L"es_ES.UTF-8");
  ASSERT_EQ(combo.ItemCount(), 2);
  EXPECT_EQ(combo.Selection(), 1);
  EXPECT_FALSE(combo.IsVisible());
}

// Switching language expands references with the new texts and records the choice.
TEST_F(LanguageManagerTest, SpanishTextsCarryTheirOwnButtonCaption) {
  Configure("DLM")->productTitle = L"Žluťoučký Kůň";
  Populate(L"en_US.UTF-8");
  manager->SetLanguage(L"español");
  EXPECT_EQ(manager->GetText("BUTTON_NEXT"), L"SIGUIENTE");
  EXPECT_NE(manager->GetText("SPLASH_TEXT").find(L"\"SIGUIENTE\""), std::wstring::npos);
  EXPECT_EQ(manager->GetText("PRODUCT_TITLE"), L"Žluťoučký Kůň");
  EXPECT_NE(manager->GetText("WELCOME_TEXT").find(L"Žluťoučký Kůň"), std::wstring::npos);
  EXPECT_EQ(configuration->languageDisplayName, L"español");
  EXPECT_EQ(configuration->localeName, L"es");

  // An unknown name changes nothing.
  manager->SetLanguage(L"Klingon");
  EXPECT_EQ(manager->GetText("BUTTON_NEXT"), L"SIGUIENTE");
  EXPECT_EQ(configuration->languageDisplayName, L"español");
}

// The English disclaimer keeps its anchors and line breaks as real characters.
TEST_F(LanguageManagerTest, EntitiesAndCharacterReferencesAreDecoded) {
  Configure("DLM");
  Populate(L"en_US.UTF-8");
  manager->SetLanguage(L"English");
  EXPECT_NE(manager->GetText("PRODUCT_DISCLAIMER").find(L" <a href=\"[PACKAGE_PRIVACY_URL]\">Privacy Policy</a> "),
            std::wstring::npos);
  EXPECT_NE(manager->GetText("PAGE_FINISH_TITLE").find(L"Thank you.\r\n"), std::wstring::npos);
  EXPECT_EQ(manager->GetText("NO_SUCH_KEY"), L"");
}

// A text asked for before any language was set is empty; the Spanish vendor document lacks BUTTON_AGREE.
TEST_F(LanguageManagerTest, MissingTextsAreEmpty) {
  Configure("ISV");
  EXPECT_EQ(manager->GetText("BUTTON_NEXT"), L"");
  Populate(L"en_US.UTF-8");
  manager->SetLanguage(L"español");
  EXPECT_EQ(manager->GetText("BUTTON_AGREE"), L"");
  EXPECT_EQ(manager->GetText("BUTTON_NEXT"), L"SIGUIENTE");
}

// References: known keys expand (also inside what they insert), unknown ones and unclosed braces stay, cycles end.
TEST_F(LanguageManagerTest, ResolvesReferencesAndStopsOnCycles) {
  Configure("DLM");
  ASSERT_TRUE(Load(R"(<Locale name="x">
      <BUTTON_NEXT>Next</BUTTON_NEXT>
      <MIXED>{NOT_DEFINED} then {BUTTON_NEXT}</MIXED>
      <NESTED>[{MIXED}]</NESTED>
      <OPEN>press {BUTTON_NEXT} or {BUTTON_NEXT</OPEN>
      <SELF>a{SELF}</SELF>
      <PING>{PONG}</PING>
      <PONG>x{PING}</PONG>
    </Locale>)"));
  EXPECT_EQ(manager->GetText("MIXED"), L"{NOT_DEFINED} then Next");
  EXPECT_EQ(manager->GetText("NESTED"), L"[{NOT_DEFINED} then Next]");
  EXPECT_EQ(manager->GetText("OPEN"), L"press Next or {BUTTON_NEXT");
  // A self-reference expands into its own growing text until the bounds stop it.
  const std::wstring self = manager->GetText("SELF");
  EXPECT_TRUE(self.ends_with(L"a{SELF}"));
  EXPECT_EQ(self.find_first_not_of(L'a'), self.size() - 6);
  EXPECT_LE(manager->texts["SELF"].size(), LanguageManager::kMaxExpandedLength);
  EXPECT_TRUE(manager->GetText("PONG").ends_with(L"{PING}"));
  EXPECT_LE(manager->texts["PONG"].size(), LanguageManager::kMaxExpandedLength);
}

// A reference that doubles at each level stops at the size bound instead of exhausting memory.
TEST_F(LanguageManagerTest, ExpansionIsBoundedInSize) {
  Configure("DLM");
  ASSERT_TRUE(Load(R"(<Locale name="x"><GROW>0123456789{GROW}{GROW}</GROW></Locale>)"));
  EXPECT_LE(manager->texts["GROW"].size(), LanguageManager::kMaxExpandedLength);
  EXPECT_GT(manager->texts["GROW"].size(), LanguageManager::kMaxExpandedLength / 4);
}

// Parse-level failures show their exact texts; texts stay or stay partly loaded as documented.
TEST_F(LanguageManagerTest, LoadFailuresShowTheirMessages) {
  Configure("DLM");
  ASSERT_TRUE(Load(R"(<Locale name="x"><BUTTON_NEXT>Next</BUTTON_NEXT></Locale>)"));

  EXPECT_FALSE(Load(R"(<Other/>)"));
  EXPECT_EQ(manager->GetText("BUTTON_NEXT"), L"Next");

  EXPECT_FALSE(Load(R"(<Locale name="x"><A>{B}</A><B>b</B><EMPTY></EMPTY><C>c</C></Locale>)"));
  EXPECT_EQ(manager->GetText("A"), L"{B}");  // loaded, not expanded
  EXPECT_EQ(manager->GetText("C"), L"");
  EXPECT_EQ(manager->GetText("BUTTON_NEXT"), L"");

  tinyxml2::XMLDocument document = MakeLocaleDocument();
  EXPECT_FALSE(LoadLocaleDocument(*services.resources, *services.messageBoxes, 999, document));
  // The shipped override document holds only white space: an empty document.
  EXPECT_FALSE(LoadLocaleDocument(*services.resources, *services.messageBoxes, 120, document));

  const auto messages = Messages();
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_EQ(messages[0], L"Failed to parse language xml file, error code: No Locale element");
  EXPECT_EQ(messages[1], L"Failed to parse language xml file, error code: No name or text attribute");
  EXPECT_EQ(messages[2], L"Failed to find resource with id: 999");
  EXPECT_TRUE(messages[3].starts_with(L"Failed to parse language xml file, error code: Error=XML_ERROR_EMPTY_DOCUMENT"))
      << messages[3];
}

// With the BT classic flag the override document adds the texts the locale documents lack. The blank one that
// ships adds nothing and is not reported; one that does not parse is reported at each load, which goes on.
TEST_F(LanguageManagerTest, BtClassicOverrideDocument) {
  struct Case {
    std::string document;  // empty: the shipped one
    std::wstring warningTitle;
    bool reported;
  };
  for (const Case& c : {Case{"", L"", false}, Case{std::string(" \r\n\t", 4), L"", false},
                        Case{"<WARNING_TITLE>Careful</WARNING_TITLE><BUTTON_NEXT>Go</BUTTON_NEXT>", L"Careful", false},
                        Case{"<WARNING_TITLE>Careful", L"", true}}) {
    std::vector<platform::posix::EmbeddedResource> table(platform::posix::BuiltInResources().begin(),
                                                         platform::posix::BuiltInResources().end());
    const auto bytes = reinterpret_cast<const std::uint8_t*>(c.document.data());
    for (auto& resource : table)
      if (resource.id == 120 && !c.document.empty()) resource.bytes = {bytes, c.document.size()};
    services.resources = std::make_shared<platform::posix::EmbeddedResources>(table);
    Configure("ISV")->btClassic = true;
    Populate(L"en_US.UTF-8");
    const std::size_t before = Messages().size();
    manager->SetLanguage(L"English");
    EXPECT_EQ(manager->GetText("WARNING_TITLE"), c.warningTitle) << c.document;
    // The locale document's own texts win over the override's.
    EXPECT_EQ(manager->GetText("BUTTON_NEXT"), L"Next") << c.document;
    EXPECT_EQ(Messages().size() - before, c.reported ? 1u : 0u) << c.document;
    list.DestroyWindow();
  }
}

// A wizard type that is neither kind lists nothing.
TEST_F(LanguageManagerTest, UnknownWizardTypeListsNothing) {
  Configure("DLM")->wizardType = WizardUnknown;
  const ui::Control combo = Populate(L"en_US.UTF-8");
  EXPECT_EQ(combo.ItemCount(), 0);
  EXPECT_EQ(combo.Selection(), ui::kNoSelection);
  ASSERT_FALSE(Messages().empty());
  EXPECT_EQ(Messages()[0], L"Unknown wizard type (language manager");
}

}  // namespace
