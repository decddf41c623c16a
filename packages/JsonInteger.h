// Whole numbers of the configuration answer. The JSON library converts a
// number the target type cannot hold by a plain cast: undefined for a
// fraction such as 1e20, and a different rule for a wrapped integer. Such a
// number is an error of the answer here, like a member of the wrong type.
#pragma once

#include <limits>
#include <string>

#include <nlohmann/json.hpp>

// The value as `Integer`, as the library reads it (booleans as 0 and 1,
// fractions cut toward zero, its type_error for anything else), but throws
// the library's out_of_range error (406) for a number outside `Integer`.
template <typename Integer>
Integer ReadInteger(const nlohmann::json& value) {
  using Limits = std::numeric_limits<Integer>;
  static_assert(Limits::is_integer && Limits::is_signed, "signed integers only");
  bool inRange = true;
  if (value.is_number_float()) {
    // -min is 2^n exactly: the values that truncate into range lie in (min - 1, -min).
    const double number = value.get<double>();
    inRange = number > static_cast<double>(Limits::min()) - 1.0 && number < -static_cast<double>(Limits::min());
  } else if (value.is_number_unsigned()) {
    inRange = value.get<std::uint64_t>() <= static_cast<std::uint64_t>(Limits::max());
  } else if (value.is_number_integer()) {
    const std::int64_t number = value.get<std::int64_t>();
    inRange = number >= static_cast<std::int64_t>(Limits::min()) && number <= static_cast<std::int64_t>(Limits::max());
  }
  if (!inRange) throw nlohmann::json::out_of_range::create(406, "number " + value.dump() + " is out of range", &value);
  return value.get<Integer>();
}
