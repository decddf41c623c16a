#include "config/JsonAccess.h"

namespace json_access {

using nlohmann::json;

json Parse(const std::string& text) {
  json value;
  // What parse without a callback builds the value with; it throws at the
  // first error, so sax_parse never returns false here.
  nlohmann::detail::json_sax_dom_parser<json> builder(value, true);
  json::sax_parse(text, &builder);
  return value;
}

const json& Member(const json& object, const char* key) { return object.at(key); }

const json* FindMember(const json& object, const char* key) {
  const auto found = object.find(key);
  return found == object.end() ? nullptr : &*found;
}

std::string Text(const json& value) { return value.get<std::string>(); }

bool Boolean(const json& value) { return value.get<bool>(); }

std::string MemberText(const json& object, const char* key) { return Text(Member(object, key)); }

std::string OptionalText(const json& object, const char* key) {
  const json* member = FindMember(object, key);
  return member ? Text(*member) : std::string();
}

void SetMember(json& object, const char* key, json value) { object[key] = std::move(value); }

}  // namespace json_access
