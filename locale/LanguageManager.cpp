#include "locale/LanguageManager.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "config/ConfigurationManager.h"
#include "resources/LocaleResourceIds.h"
#include "util/DecimalText.h"
#include "util/Utf8.h"

namespace {

// The caption the framework's own message boxes carry: the program's name.
constexpr wchar_t kMessageCaption[] = L"BrimvaleSetup";

// The element's text: its first child that is not a comment, if that is text.
const char* ElementText(const tinyxml2::XMLElement& element) {
  for (const tinyxml2::XMLNode* child = element.FirstChild(); child; child = child->NextSibling()) {
    if (child->ToComment()) continue;
    const tinyxml2::XMLText* text = child->ToText();
    return text ? text->Value() : nullptr;
  }
  return nullptr;
}

// A resource of white space alone, or of nothing: a document with nothing in
// it, which the BT override document is as it ships.
bool IsBlankResource(platform::Resources& resources, int id) {
  const platform::ResourceData data = resources.Read(id, platform::kLocaleResourceType);
  return data.status == platform::ResourceStatus::Found &&
         std::all_of(data.bytes.begin(), data.bytes.end(),
                     [](std::uint8_t byte) { return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n'; });
}

}  // namespace

std::wstring LanguageParseFailure(const std::string& reason) {
  return L"Failed to parse language xml file, error code: " + Utf8ToWide(reason);
}

bool LoadLocaleDocument(platform::Resources& resources, platform::MessageBoxes& messageBoxes, int id,
                        tinyxml2::XMLDocument& document) {
  const platform::ResourceData data = resources.Read(id, platform::kLocaleResourceType);
  if (data.status == platform::ResourceStatus::NotFound) {
    messageBoxes.Show(L"Failed to find resource with id: " + DecimalText(id), kMessageCaption, platform::kMbOk);
    return false;
  }
  if (data.status == platform::ResourceStatus::LoadFailed) {
    messageBoxes.Show(L"Failed to load resource with id: " + DecimalText(id), kMessageCaption, platform::kMbOk);
    return false;
  }
  // Zero bytes, or a first byte of zero, parse as an empty document (an error).
  if (document.Parse(reinterpret_cast<const char*>(data.bytes.data()), data.bytes.size()) != tinyxml2::XML_SUCCESS) {
    messageBoxes.Show(LanguageParseFailure(document.ErrorStr()), kMessageCaption, platform::kMbOk);
    return false;
  }
  return true;
}

std::wstring GetNativeLanguageName(platform::LocaleInfo& localeInfo, const std::wstring& localeName) {
  if (auto name = localeInfo.NativeLanguageName(localeName)) return *name;
  if (localeName.size() > 2) {
    if (auto name = localeInfo.NativeLanguageName(localeName.substr(0, 2))) return *name;
  }
  return localeName;
}

LanguageManager::LanguageManager(std::shared_ptr<ConfigurationManager> configurationIn)
    : configuration(std::move(configurationIn)), services(configuration->Services()) {}

void LanguageManager::ShowFailure(const std::wstring& text) {
  services.messageBoxes->Show(text, kMessageCaption, platform::kMbOk);
}

std::vector<int> LanguageManager::GetLocaleResourceIds() {
  switch (configuration->wizardType) {
    case DLM: return {std::begin(locale_resources::kDownloadManager), std::end(locale_resources::kDownloadManager)};
    case ISV: return {std::begin(locale_resources::kVendorInstaller), std::end(locale_resources::kVendorInstaller)};
    default:
      ShowFailure(L"Unknown wizard type (language manager");
      return {};
  }
}

void LanguageManager::PopulateLanguages(ui::Control combo) {
  const std::vector<int> ids = GetLocaleResourceIds();
  languageByDisplayName.clear();
  localeByDisplayName.clear();
  combo.ResetContent();
  int selected = 0;

  std::wstring userLanguage;
  if (auto locale = services.localeInfo->UserDefaultLocaleName())
    userLanguage = GetNativeLanguageName(*services.localeInfo, *locale);
  if (userLanguage.empty()) userLanguage = L"English";

  for (int id : ids) {
    tinyxml2::XMLDocument document = MakeLocaleDocument();
    if (!LoadLocaleDocument(*services.resources, *services.messageBoxes, id, document)) continue;
    const tinyxml2::XMLElement* root = document.FirstChildElement("Locale");
    if (!root) continue;
    const char* name = root->Attribute("name");
    if (!name) {
      ShowFailure(LanguageParseFailure("No name attribute"));
      continue;
    }
    const std::wstring locale = Utf8ToWide(name);
    const std::wstring displayName = GetNativeLanguageName(*services.localeInfo, locale);
    if (displayName == userLanguage) selected = combo.ItemCount();
    combo.AddItem(displayName);
    languageByDisplayName[displayName] = id;
    localeByDisplayName[displayName] = locale;
  }
  combo.SetSelection(selected);
  if (configuration->btClassic) combo.Show(false);
}

void LanguageManager::SetLanguage(const std::wstring& displayName) {
  const auto found = languageByDisplayName.find(displayName);
  if (found == languageByDisplayName.end()) return;
  tinyxml2::XMLDocument document = MakeLocaleDocument();
  if (!LoadLocaleDocument(*services.resources, *services.messageBoxes, found->second, document)) return;
  // Even texts loaded only in part are shown.
  LoadTexts(document);
  // A page may unregister while another refreshes; walk a copy.
  for (LocalizedWindow* page : std::vector<LocalizedWindow*>(pages)) page->RefreshTexts();
  configuration->languageDisplayName = displayName;
  const auto locale = localeByDisplayName.find(displayName);
  configuration->localeName = locale == localeByDisplayName.end() ? std::wstring() : locale->second;
}

bool LanguageManager::LoadTexts(tinyxml2::XMLDocument& document) {
  const tinyxml2::XMLElement* root = document.FirstChildElement("Locale");
  if (!root) {
    ShowFailure(LanguageParseFailure("No Locale element"));
    return false;
  }
  texts.clear();
  texts["PRODUCT_TITLE"] = WideToUtf8(configuration->productTitle);

  // A blank override document overrides nothing; reporting it as a document
  // that fails to parse would greet every user of the BT wizard with an
  // error at each language load.
  if (configuration->btClassic && !IsBlankResource(*services.resources, locale_resources::kBtOverride)) {
    tinyxml2::XMLDocument overrides = MakeLocaleDocument();
    if (LoadLocaleDocument(*services.resources, *services.messageBoxes, locale_resources::kBtOverride, overrides)) {
      for (const auto* element = overrides.FirstChildElement(); element; element = element->NextSiblingElement()) {
        // An override without text has nothing to override with: skipped.
        if (const char* text = ElementText(*element)) texts[element->Name()] = text;
      }
    }
  }

  for (const auto* element = root->FirstChildElement(); element; element = element->NextSiblingElement()) {
    const char* name = element->Name();
    const char* text = ElementText(*element);
    if (!name || !text) {
      ShowFailure(LanguageParseFailure("No name or text attribute"));
      return false;
    }
    texts[name] = text;
  }
  ResolveReferences();
  return true;
}

void LanguageManager::ResolveReferences() {
  for (auto& [key, value] : texts) {
    // Ends of the inserted texts the scan is inside, innermost last: their
    // number is the depth of a reference found there.
    std::vector<std::size_t> insertedEnds;
    std::size_t position = 0;
    for (;;) {
      const std::size_t open = value.find('{', position);
      if (open == std::string::npos) break;
      const std::size_t close = value.find('}', open);
      if (close == std::string::npos) break;
      while (!insertedEnds.empty() && insertedEnds.back() <= open) insertedEnds.pop_back();

      const auto referenced = texts.find(value.substr(open + 1, close - open - 1));
      const std::size_t referenceLength = close - open + 1;
      const bool expand = referenced != texts.end() &&
                          static_cast<int>(insertedEnds.size()) < kMaxReferenceDepth &&
                          value.size() - referenceLength + referenced->second.size() <= kMaxExpandedLength;
      if (!expand) {
        position = close + 1;
        continue;
      }
      const std::string replacement = referenced->second;  // may be this very value
      value.replace(open, referenceLength, replacement);
      for (std::size_t& end : insertedEnds) end = end + replacement.size() - referenceLength;
      insertedEnds.push_back(open + replacement.size());
      position = open;
    }
  }
}

std::wstring LanguageManager::GetText(const std::string& key) const {
  const auto found = texts.find(key);
  if (found == texts.end() || found->second.empty()) return {};
  return Utf8ToWide(found->second);
}

void LanguageManager::RegisterPage(LocalizedWindow* page) { pages.push_back(page); }

void LanguageManager::UnregisterPage(LocalizedWindow* page) { std::erase(pages, page); }
