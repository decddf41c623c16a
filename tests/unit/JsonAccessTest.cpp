#include "config/JsonAccess.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

struct Outcome {
  std::optional<nlohmann::json> value;
  int errorId = 0;
  std::string message;
};

template <typename Parse>
Outcome ParseWith(Parse parse, const std::string& text) {
  try {
    return {.value = parse(text), .errorId = 0, .message = {}};
  } catch (const nlohmann::json::exception& error) {
    return {.value = std::nullopt, .errorId = error.id, .message = error.what()};
  }
}

}  // namespace

// Parse builds its value without the library's callback parser: for answers
// and broken texts alike it gives what nlohmann::json::parse gives, the same
// value or the same error with the same message.
TEST(JsonAccessTest, ParseMatchesTheLibrarysParse) {
  const std::string texts[] = {
      R"({"i":{"ct":"T","cu":"https://h/p"},"o":[{"ad":{"f":"a","o":"b"}}],"f":{"m":2}})",
      " [1, -2, 3.5e2, true, null, \"\\u00e9\\ud83d\\ude00\"] ",
      "18446744073709551615",
      "{} x",
      "{\"a\":1,}",
      "[1,2",
      "",
      "   ",
      "nul",
      "\"\\ud800\"",
      "\"\xff\"",
      "1e999",
      "{\"a\":1}//",
      "\xef\xbb\xbf{}",
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    const Outcome expected = ParseWith([](const std::string& t) { return nlohmann::json::parse(t); }, text);
    const Outcome actual = ParseWith(json_access::Parse, text);
    EXPECT_EQ(actual.value, expected.value);
    EXPECT_EQ(actual.errorId, expected.errorId);
    EXPECT_EQ(actual.message, expected.message);
  }
}
