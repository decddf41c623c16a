// Typed reads and writes of JSON values, each compiled once. The JSON
// library's accessors are templates that the compiler copies into every
// place they are used, each copy with its own lookup and its own error to
// throw; the configuration answer, the offers and the event payloads go
// through these instead. Each does exactly what the library call named
// beside it does, and throws what that call throws.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace json_access {

// nlohmann::json::parse(text): the whole text is one JSON value, parse_error
// otherwise. The library's parse also carries a parser for a filtering
// callback, which no caller here gives.
nlohmann::json Parse(const std::string& text);

// object.at(key): type_error 304 for a value that is no object,
// out_of_range 403 for a missing member.
const nlohmann::json& Member(const nlohmann::json& object, const char* key);

// The member, or null when the value is no object or has no such member
// (what object.contains(key) and object.find(key) tell).
const nlohmann::json* FindMember(const nlohmann::json& object, const char* key);

// value.get<std::string>(): type_error 302 for anything but a text.
std::string Text(const nlohmann::json& value);

// value.get<bool>(): type_error 302 for anything but a boolean.
bool Boolean(const nlohmann::json& value);

// object.at(key).get<std::string>().
std::string MemberText(const nlohmann::json& object, const char* key);

// The member's text, or an empty text when there is no such member.
std::string OptionalText(const nlohmann::json& object, const char* key);

// object[key] = value: turns a null into an object, type_error 305 for
// anything else but an object.
void SetMember(nlohmann::json& object, const char* key, nlohmann::json value);

}  // namespace json_access
