// The shipped locale documents, read from the embedded resources and parsed
// the way the language manager parses them.
#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix/EmbeddedResources.h"

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

enum class Wizard { Dlm, Isv };

struct Document {
  int id;
  const char* name;
  Wizard wizard;
};

const Document kDocuments[] = {
    {105, "en_US", Wizard::Dlm}, {106, "es", Wizard::Dlm}, {107, "pt_BR", Wizard::Dlm}, {108, "pl", Wizard::Dlm},
    {109, "cs", Wizard::Dlm},    {110, "da", Wizard::Dlm}, {111, "de", Wizard::Dlm},    {112, "fi", Wizard::Dlm},
    {113, "fr", Wizard::Dlm},    {114, "it", Wizard::Dlm}, {115, "nl", Wizard::Dlm},    {116, "pl", Wizard::Dlm},
    {117, "ru", Wizard::Dlm},    {118, "tr", Wizard::Dlm}, {101, "en_US", Wizard::Isv}, {102, "es", Wizard::Isv},
};

std::string Bytes(int id) {
  const auto data = platform::posix::EmbeddedResources().Read(id, platform::kLocaleResourceType);
  EXPECT_EQ(data.status, platform::ResourceStatus::Found) << "LOCALE " << id;
  return std::string(data.bytes.begin(), data.bytes.end());
}

// The document as written in resources/locale, before the build compacts it.
std::string SourceBytes(const Document& document) {
  const std::string path = std::string(BRIMVALE_RESOURCES "/locale/") +
                           (document.wizard == Wizard::Dlm ? "dlm/" : "isv/") + document.name + ".xml";
  std::ifstream file(path, std::ios::binary);
  EXPECT_TRUE(file) << path;
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// Every node the parser keeps, comments aside, one line each with its depth:
// what reading a document can see of it.
void DescribeNodes(const tinyxml2::XMLNode& parent, int depth, std::string& out) {
  for (const tinyxml2::XMLNode* node = parent.FirstChild(); node; node = node->NextSibling()) {
    if (node->ToComment()) continue;
    out += std::string(depth, ' ');
    if (const tinyxml2::XMLElement* element = node->ToElement()) {
      out += "element " + std::string(element->Name());
      for (const tinyxml2::XMLAttribute* a = element->FirstAttribute(); a; a = a->Next())
        out += " " + std::string(a->Name()) + "=\"" + a->Value() + "\"";
      out += "\n";
      DescribeNodes(*element, depth + 1, out);
      continue;
    }
    const tinyxml2::XMLText* text = node->ToText();
    out += text ? (text->CData() ? "cdata [" : "text [") : (node->ToDeclaration() ? "declaration [" : "other [");
    out += std::string(node->Value() ? node->Value() : "") + "]\n";
  }
}

std::string DescribeDocument(const std::string& bytes) {
  tinyxml2::XMLDocument xml(true, tinyxml2::PRESERVE_WHITESPACE);
  if (xml.Parse(bytes.data(), bytes.size()) != tinyxml2::XML_SUCCESS) return xml.ErrorStr();
  std::string out;
  DescribeNodes(xml, 0, out);
  return out;
}

// Parse with a length, entities decoded and white space kept; each key is
// an element under Locale whose first non-comment child is its text.
Entries ReadDocument(const Document& document, std::string& failure) {
  const std::string bytes = Bytes(document.id);
  tinyxml2::XMLDocument xml(true, tinyxml2::PRESERVE_WHITESPACE);
  if (xml.Parse(bytes.data(), bytes.size()) != tinyxml2::XML_SUCCESS) {
    failure = xml.ErrorStr();
    return {};
  }
  const tinyxml2::XMLElement* root = xml.FirstChildElement("Locale");
  if (!root) {
    failure = "no Locale element";
    return {};
  }
  if (const char* name = root->Attribute("name"); !name || std::string(name) != document.name) {
    failure = std::string("name attribute ") + (name ? name : "missing");
    return {};
  }
  Entries entries;
  for (const tinyxml2::XMLElement* key = root->FirstChildElement(); key; key = key->NextSiblingElement()) {
    const tinyxml2::XMLNode* child = key->FirstChild();
    while (child && child->ToComment()) child = child->NextSibling();
    const tinyxml2::XMLText* text = child ? child->ToText() : nullptr;
    entries.emplace_back(key->Name(), text && text->Value() ? text->Value() : "");
  }
  return entries;
}

Entries Read(const Document& document) {
  std::string failure;
  Entries entries = ReadDocument(document, failure);
  EXPECT_EQ(failure, "") << "LOCALE " << document.id;
  return entries;
}

const Document& English(Wizard wizard) { return wizard == Wizard::Dlm ? kDocuments[0] : kDocuments[14]; }

std::vector<std::string> Keys(const Entries& entries) {
  std::vector<std::string> keys;
  for (const auto& entry : entries) keys.push_back(entry.first);
  return keys;
}

std::string Value(const Entries& entries, const std::string& key) {
  for (const auto& [name, value] : entries) {
    if (name == key) return value;
  }
  return "<missing>";
}

// Every match of the pattern, sorted: the references of one kind a text holds.
std::vector<std::string> Matches(const std::string& text, const std::regex& pattern) {
  std::vector<std::string> found;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it)
    found.push_back(it->str());
  std::sort(found.begin(), found.end());
  return found;
}

const std::regex kBraceReference(R"(\{[^{}]*\})");
const std::regex kBracketPlaceholder(R"(\[[A-Z_]+\])");
const std::regex kDollarPlaceholder(R"(\$[a-z]+\$)");
const std::regex kLineBreak("\r\n");
const std::regex kAnchor(R"(<a href="[^"]*">[^<]*</a>)");

std::string Key(const std::string& reference) { return reference.substr(1, reference.size() - 2); }

}  // namespace

// Every document is UTF-8 XML with the declaration, CR LF line ends and the
// language name its resource id stands for.
TEST(LocaleDocuments, ParseWithTheirLanguageName) {
  for (const auto& document : kDocuments) {
    const std::string bytes = SourceBytes(document);
    EXPECT_EQ(bytes.rfind("<?xml version='1.0' encoding='utf-8'?>\r\n", 0), 0u) << document.id;
    for (std::size_t lf = bytes.find('\n'); lf != std::string::npos; lf = bytes.find('\n', lf + 1))
      EXPECT_EQ(bytes[lf - 1], '\r') << document.id << " at byte " << lf;
    Read(document);
  }
}

// The build ships each document without its comments and the line breaks
// and indentation between elements (cmake/CompactXml.py), and the parser
// reads the same declaration, elements, attributes and texts from it.
TEST(LocaleDocuments, ShipCompactWithTheSameNodes) {
  for (const auto& document : kDocuments) {
    const std::string shipped = Bytes(document.id);
    const std::string source = SourceBytes(document);
    EXPECT_EQ(shipped.find("<!--"), std::string::npos) << document.id;
    EXPECT_EQ(shipped.find(">\r\n"), std::string::npos) << document.id;
    EXPECT_LT(shipped.size(), source.size()) << document.id;
    EXPECT_EQ(DescribeDocument(shipped), DescribeDocument(source)) << document.id;
  }
}

// The DLM documents hold the English document's 30 keys in its order; the
// Spanish ISV document the English ISV keys but three; no key is empty.
TEST(LocaleDocuments, HoldTheKeysOfTheirWizardInOrder) {
  const auto dlmKeys = Keys(Read(English(Wizard::Dlm)));
  auto isvKeys = Keys(Read(English(Wizard::Isv)));
  EXPECT_EQ(dlmKeys.size(), 30u);
  EXPECT_EQ(isvKeys.size(), 32u);
  std::erase_if(isvKeys, [](const std::string& key) {
    return key == "SDK_LINK" || key == "BUTTON_AGREE" || key == "BUTTON_BACK";
  });

  for (const auto& document : kDocuments) {
    const Entries entries = Read(document);
    if (document.wizard == Wizard::Dlm) {
      EXPECT_EQ(Keys(entries), dlmKeys) << document.id;
    } else if (document.id != English(Wizard::Isv).id) {
      EXPECT_EQ(Keys(entries), isvKeys) << document.id;
    }
    for (const auto& [key, value] : entries) EXPECT_FALSE(value.empty()) << document.id << " " << key;
  }
}

// Translations keep what the program fills in or links: the same brace
// references, bracket and dollar placeholders, line breaks and anchors as
// the English text of the key. Each reference names a key of the document
// (or the product title) whose own text refers to nothing, so expansion
// always ends.
TEST(LocaleDocuments, TranslationsKeepReferencesPlaceholdersAndAnchors) {
  for (const auto& document : kDocuments) {
    const Entries english = Read(English(document.wizard));
    const Entries entries = Read(document);
    for (const auto& [key, value] : entries) {
      const std::string original = Value(english, key);
      for (const std::regex* pattern : {&kBraceReference, &kBracketPlaceholder, &kDollarPlaceholder, &kLineBreak, &kAnchor})
        EXPECT_EQ(Matches(value, *pattern), Matches(original, *pattern)) << document.id << " " << key;

      for (const std::string& reference : Matches(value, kBraceReference)) {
        if (reference == "{PRODUCT_TITLE}") continue;
        const std::string target = Value(entries, Key(reference));
        EXPECT_NE(target, "<missing>") << document.id << " " << key << " refers to " << reference;
        EXPECT_TRUE(Matches(target, kBraceReference).empty()) << document.id << " " << reference;
      }
    }
  }
}

// The disclaimer's two links: a blank before each anchor and after the
// first, the full stop right after the second, as the link control shows them.
TEST(LocaleDocuments, DisclaimerAnchorsAreSpacedForTheLinkControl) {
  const std::regex dlm(R"([^<]+ <a href="\[PACKAGE_PRIVACY_URL\]">\{PRIVACY_LINK\}</a> [^<]+ )"
                       R"(<a href="\[PACKAGE_EULA_URL\]">\{TOS_LINK\}</a>\.[^<]*)");
  const std::regex isv(R"([^<]+ <a href="\[PACKAGE_PRIVACY_URL\]">\{PRIVACY_LINK\}</a> [^<]+ )"
                       R"(<a href="\[PACKAGE_EULA_URL\]">\{EULA_LINK\}</a>\.[^<]*)");
  for (const auto& document : kDocuments) {
    const std::string disclaimer = Value(Read(document), "PRODUCT_DISCLAIMER");
    EXPECT_TRUE(std::regex_match(disclaimer, document.wizard == Wizard::Dlm ? dlm : isv))
        << document.id << ": " << disclaimer;
  }
}

// Texts whose encoding matters (character references for CR LF, entities
// for the anchors) come out of the parser as the wizard shows them.
TEST(LocaleDocuments, DecodedEnglishAndSpanishTexts) {
  struct Case {
    int id;
    const char* key;
    std::string expected;
  };
  const Case cases[] = {
      {105, "PAGE_FINISH_TITLE", "Thank you.\r\nYou have successfully downloaded {PRODUCT_TITLE}."},
      {105, "PAGE_FINISH_TEXT",
       "To install the software on your machine, click \"{LAUNCH_RADIO}\"\r\n"
       "Click the \"{BUTTON_FINISH}\" button to exit the Setup Wizard"},
      {105, "PRODUCT_DISCLAIMER",
       "When you click \"{BUTTON_ACCEPT}\", you agree to the installation of \"[PACKAGE_NAME]\" and that you have "
       "read the <a href=\"[PACKAGE_PRIVACY_URL]\">{PRIVACY_LINK}</a> and agree to the terms of its "
       "<a href=\"[PACKAGE_EULA_URL]\">{TOS_LINK}</a>. Check \"Add/Remove Programs\" to uninstall."},
      {105, "SPLASH_TEXT", "To continue, please select your preferred language, and click \"{BUTTON_NEXT}\"."},
      {101, "PAGE_FINISH_TITLE", "Thank you.\r\nYour installation is complete."},
      {101, "UNINSTALL_TEXT",
       "\r\nTo uninstall all softwares installed during this installation process, please go to \"Add/Remove "
       "Programs\" and click \"{PRODUCT_TITLE} Packages\"."},
      {101, "PROGRESS_STATUS", "$percent$ Completed"},
      {106, "BUTTON_NEXT", "SIGUIENTE"},
      {102, "BUTTON_NEXT", "SIGUIENTE"},
  };
  for (const auto& c : cases) {
    const auto& document = *std::find_if(std::begin(kDocuments), std::end(kDocuments),
                                         [&](const Document& d) { return d.id == c.id; });
    EXPECT_EQ(Value(Read(document), c.key), c.expected) << c.id << " " << c.key;
  }
}

// Polish is offered twice with one document; the BT override document ships
// as white space only, which the parser rejects as an empty document.
TEST(LocaleDocuments, SecondPolishAndEmptyOverrideDocument) {
  EXPECT_EQ(Bytes(116), Bytes(108));

  const std::string override = Bytes(120);
  EXPECT_EQ(override, " \r\n");
  tinyxml2::XMLDocument xml(true, tinyxml2::PRESERVE_WHITESPACE);
  EXPECT_EQ(xml.Parse(override.data(), override.size()), tinyxml2::XML_ERROR_EMPTY_DOCUMENT);
}
