#include "config/JsonAccess.h"

namespace json_access {

using nlohmann::json;

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
