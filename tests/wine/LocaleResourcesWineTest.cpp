// The embedded resources and the national language support calls on Wine:
// this executable links the product's resource object, so it carries the
// same locale documents and images.
#include <windows.h>
#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <utility>

#include "platform/win32/Win32LocaleInfo.h"
#include "platform/win32/Win32Resources.h"
#include "util/Utf8.h"

using platform::ResourceStatus;

// The English download-manager document is in the executable and parses the
// way the language manager reads it.
TEST(Win32Resources, ReadsEmbeddedLocaleDocument) {
  platform::win32::Win32Resources resources;
  const auto data = resources.Read(105, platform::kLocaleResourceType);
  ASSERT_EQ(data.status, ResourceStatus::Found);
  ASSERT_FALSE(data.bytes.empty());

  tinyxml2::XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
  ASSERT_EQ(document.Parse(reinterpret_cast<const char*>(data.bytes.data()), data.bytes.size()), tinyxml2::XML_SUCCESS);
  const tinyxml2::XMLElement* root = document.FirstChildElement("Locale");
  ASSERT_NE(root, nullptr);
  EXPECT_STREQ(root->Attribute("name"), "en_US");
  EXPECT_STREQ(root->FirstChildElement("BUTTON_NEXT")->GetText(), "Next");
}

// Every locale document of the resource list comes back byte for byte as the
// build compacted it, through the compressed copy the executable stores.
TEST(Win32Resources, ReadsEveryLocaleDocumentAsCompacted) {
  std::ifstream list(BRIMVALE_SOURCE_DIR "/resources/EmbeddedFiles.rc");
  ASSERT_TRUE(list);
  const std::regex entry(R"re(^(\d+) LOCALE "([^"]+)"\s*$)re");
  platform::win32::Win32Resources resources;
  int documents = 0;
  for (std::string line; std::getline(list, line);) {
    std::smatch match;
    if (!std::regex_match(line, match, entry)) continue;
    std::ifstream compacted(BRIMVALE_COMPACT_RESOURCES "/" + match[2].str(), std::ios::binary);
    ASSERT_TRUE(compacted) << match[2];
    const std::string expected{std::istreambuf_iterator<char>(compacted), {}};
    for (int reading = 0; reading < 2; ++reading) {  // the second from the kept copy
      const auto data = resources.Read(std::stoi(match[1]), platform::kLocaleResourceType);
      ASSERT_EQ(data.status, ResourceStatus::Found) << line;
      EXPECT_EQ(std::string(data.bytes.begin(), data.bytes.end()), expected) << line;
    }
    ++documents;
  }
  EXPECT_EQ(documents, 17);
}

// The page images are in the executable under their own types: PNGs whose
// header says 512 x 512.
TEST(Win32Resources, ReadsEmbeddedPageImages) {
  const std::pair<int, const wchar_t*> images[] = {
      {101, platform::kImageResourceType},
      {102, platform::kImageResourceType2},
      {103, platform::kImageResourceType3},
  };
  const std::string signature = "\x89PNG\r\n\x1a\n";
  const std::string size512("\0\0\x02\0\0\0\x02\0", 8);
  platform::win32::Win32Resources resources;
  for (const auto& [id, type] : images) {
    const auto data = resources.Read(id, type);
    ASSERT_EQ(data.status, ResourceStatus::Found) << id;
    ASSERT_GT(data.bytes.size(), 24u) << id;
    const std::string bytes(data.bytes.begin(), data.bytes.end());
    EXPECT_EQ(bytes.substr(0, 8), signature) << id;
    EXPECT_EQ(bytes.substr(12, 4), "IHDR") << id;
    EXPECT_EQ(bytes.substr(16, 8), size512) << id;
  }
}

// Missing resources come back as FindResourceW reports them.
TEST(Win32Resources, MissingResourcesAreNotFound) {
  platform::win32::Win32Resources resources;
  const auto missingId = resources.Read(999, platform::kLocaleResourceType);
  EXPECT_EQ(missingId.status, ResourceStatus::NotFound);
  EXPECT_EQ(missingId.error, platform::kErrorResourceNameNotFound);
  EXPECT_TRUE(missingId.bytes.empty());

  const auto missingType = resources.Read(105, L"NO_SUCH_TYPE");
  EXPECT_EQ(missingType.status, ResourceStatus::NotFound);
  EXPECT_EQ(missingType.error, platform::kErrorResourceTypeNotFound);
}

// The languages of the wizard have their native names; an unknown locale
// name fails.
TEST(Win32LocaleInfo, NativeLanguageNames) {
  platform::win32::Win32LocaleInfo info;
  EXPECT_EQ(info.NativeLanguageName(L"en-US"), L"English");
  EXPECT_EQ(info.NativeLanguageName(L"es"), L"espa\u00F1ol");
  EXPECT_EQ(info.NativeLanguageName(L"pt-BR"), L"portugu\u00EAs");
  EXPECT_EQ(info.NativeLanguageName(L"pt"), L"portugu\u00EAs");
  EXPECT_EQ(info.NativeLanguageName(L"xx-YY"), std::nullopt);
}

// The user's locale is a Windows locale name whose language has a name.
TEST(Win32LocaleInfo, UserDefaultLocaleHasNativeName) {
  platform::win32::Win32LocaleInfo info;
  const auto locale = info.UserDefaultLocaleName();
  ASSERT_TRUE(locale.has_value());
  EXPECT_TRUE(info.NativeLanguageName(*locale).has_value()) << WideToUtf8(*locale);
}
