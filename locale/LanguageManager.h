// The single store of the wizard's texts. It lists the languages of the
// wizard type from the LOCALE resources, preselects the user's language,
// loads the chosen document's texts, expands the brace references between
// them and hands texts out by key. Pages register to be refreshed when the
// language changes.
//
// Every failure is a message box (OK button) and processing goes on; the
// texts of the boxes are exact. Window thread only.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <tinyxml2.h>

#include "locale/LocalizedWindow.h"
#include "platform/Services.h"
#include "ui/Control.h"

class ConfigurationManager;

class LanguageManager {
 public:
  // Reads resources, locale facts and message boxes from the configuration's OS seam.
  explicit LanguageManager(std::shared_ptr<ConfigurationManager> configuration);

  // The LOCALE resource ids of the configuration's wizard type, in the order
  // offered; for an unknown type the message "Unknown wizard type (language
  // manager" and an empty list.
  std::vector<int> GetLocaleResourceIds();

  // Fills the drop-down list with the native name of each document's
  // language, in document order, selects the user's language (the last
  // match; English, the first item, without one) and hides the list when
  // the BT classic flag is set. Rebuilds both maps.
  void PopulateLanguages(ui::Control combo);

  // Loads the texts of the language with this display name, refreshes every
  // registered page and records the choice in the configuration. An unknown
  // name or a document that does not parse changes nothing.
  void SetLanguage(const std::wstring& displayName);

  // Rebuilds the texts from a parsed locale document: PRODUCT_TITLE, the BT
  // override texts when that flag is set (none from a blank override
  // document, which is not reported), then the document's elements, and
  // expands references. False (with a message) without a Locale root, or at
  // an element without text, whose predecessors stay loaded unexpanded.
  bool LoadTexts(tinyxml2::XMLDocument& document);

  // Replaces each "{KEY}" of every text by the current text of KEY, also
  // inside what was inserted; unknown keys stay as written. A reference
  // nested deeper than kMaxReferenceDepth in its own expansion (a cycle)
  // stays as written too, as does one whose text would grow past
  // kMaxExpandedLength bytes.
  void ResolveReferences();
  static constexpr int kMaxReferenceDepth = 16;
  static constexpr std::size_t kMaxExpandedLength = 64 * 1024;

  // The text of the key in the current language; empty when it is missing
  // or empty, or before any language was set.
  std::wstring GetText(const std::string& key) const;

  // Pages to refresh on a language change, in registration order.
  void RegisterPage(LocalizedWindow* page);
  // Removes every registration of the page.
  void UnregisterPage(LocalizedWindow* page);

  std::map<std::wstring, int> languageByDisplayName;
  std::map<std::wstring, std::wstring> localeByDisplayName;
  std::vector<LocalizedWindow*> pages;
  std::map<std::string, std::string> texts;  // UTF-8 values by key, byte-wise ordered

 private:
  void ShowFailure(const std::wstring& text);

  std::shared_ptr<ConfigurationManager> configuration;
  platform::Services services;
};

// A document that LoadLocaleDocument can fill: entities decoded, white space
// kept as written.
inline tinyxml2::XMLDocument MakeLocaleDocument() { return tinyxml2::XMLDocument(true, tinyxml2::PRESERVE_WHITESPACE); }

// Finds, loads and parses the LOCALE resource `id` into `document` (made by
// MakeLocaleDocument). On failure shows "Failed to find resource with id:
// %d", "Failed to load resource with id: %d" or the parse failure message
// with the parser's error description, and returns false.
bool LoadLocaleDocument(platform::Resources& resources, platform::MessageBoxes& messageBoxes, int id,
                        tinyxml2::XMLDocument& document);

// The language's name in that language for a locale name, retried with the
// first two characters ("pt_BR" as "pt"); the name itself when neither is known.
std::wstring GetNativeLanguageName(platform::LocaleInfo& localeInfo, const std::wstring& localeName);

// "Failed to parse language xml file, error code: " followed by the reason.
std::wstring LanguageParseFailure(const std::string& reason);
