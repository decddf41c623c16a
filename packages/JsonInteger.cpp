#include "packages/JsonInteger.h"

#include <limits>
#include <string>

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

template int ReadInteger<int>(const nlohmann::json& value);
template std::int64_t ReadInteger<std::int64_t>(const nlohmann::json& value);
