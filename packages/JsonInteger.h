// Whole numbers of the configuration answer. The JSON library converts a
// number the target type cannot hold by a plain cast: undefined for a
// fraction such as 1e20, and a different rule for a wrapped integer. Such a
// number is an error of the answer here, like a member of the wrong type.
#pragma once

#include <cstdint>

#include <nlohmann/json.hpp>

// The value as `Integer`, as the library reads it (booleans as 0 and 1,
// fractions cut toward zero, its type_error for anything else), but throws
// the library's out_of_range error (406) for a number outside `Integer`.
// Compiled once for int and std::int64_t (JsonInteger.cpp).
template <typename Integer>
Integer ReadInteger(const nlohmann::json& value);

extern template int ReadInteger<int>(const nlohmann::json& value);
extern template std::int64_t ReadInteger<std::int64_t>(const nlohmann::json& value);
