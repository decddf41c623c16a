// The C runtime's number conversions and formatting as the wizard links them
// (msvcrt.dll's, platform/win32/MsvcrtNumbers.c): JSON numbers, escapes and
// error texts, the offer rules' version number and XML error texts come out
// as they do with the C99 functions they replace.
#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "config/JsonAccess.h"

namespace {

TEST(RuntimeNumbersWineTest, JsonNumbersAreTheNearestDoubles) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {
      {"0.5", 0.5},
      {"-2.75e-2", -2.75e-2},
      {"1E3", 1000.0},
      {"0.1", 0.1},
      {"2.9999999999999999", 3.0},
      {"123456789012345678.5", 123456789012345678.5},
      {"1.7976931348623157e308", std::numeric_limits<double>::max()},
      {"4.9406564584124654e-324", std::numeric_limits<double>::denorm_min()},
      {"1e-400", 0.0},
  };
  for (const auto& [text, value] : cases) {
    const auto parsed = json_access::Parse(std::string("[") + text + "]");
    ASSERT_TRUE(parsed[0].is_number_float()) << text;
    EXPECT_EQ(parsed[0].get<double>(), value) << text;
  }
  EXPECT_THROW(json_access::Parse("[1e400]"), nlohmann::json::out_of_range);
}

TEST(RuntimeNumbersWineTest, JsonEscapesAndErrorTextsHaveTheirHexadecimalDigits) {
  EXPECT_EQ(nlohmann::json("a\x01\x1f" "b").dump(), "\"a\\u0001\\u001fb\"");
  // Outside ASCII as escapes: a pair of surrogates for a character beyond the first plane.
  EXPECT_EQ(nlohmann::json("\xc3\xa9\xf0\x9f\x98\x80").dump(-1, ' ', true), "\"\\u00e9\\ud83d\\ude00\"");
  try {
    json_access::Parse("\"\x1b\"");
    FAIL() << "a control character in a string was accepted";
  } catch (const nlohmann::json::parse_error& error) {
    EXPECT_NE(std::string(error.what()).find("'\"<U+001B>'"), std::string::npos) << error.what();
  }
}

TEST(RuntimeNumbersWineTest, VersionNumbersAreReadAsWcstofReadsThem) {
  EXPECT_EQ(std::stof(L"9.11.19041.0"), 9.11f);
  EXPECT_EQ(std::stof(L"8.0.7601.17514") * 10.0f, 80.0f);
  EXPECT_EQ(std::stof(L"  11"), 11.0f);
  EXPECT_THROW(std::stof(L"1e39"), std::out_of_range);
  EXPECT_THROW(std::stof(L"1e-50"), std::out_of_range);
  EXPECT_THROW(std::stof(L"version"), std::invalid_argument);
}

TEST(RuntimeNumbersWineTest, XmlErrorTextsCarryTheirNumbers) {
  tinyxml2::XMLDocument document;
  ASSERT_NE(document.Parse("<a>\n<b"), tinyxml2::XML_SUCCESS);
  EXPECT_STREQ(document.ErrorStr(), "Error=XML_ERROR_PARSING_ELEMENT ErrorID=6 (0x6) Line number=2: XMLElement name=b");
}

}  // namespace
