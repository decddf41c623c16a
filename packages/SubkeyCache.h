// The children of the software keys, enumerated once per root and view and
// kept for one pass over the offers: root key -> view flag (0 or
// KEY_WOW64_64KEY) -> subkey name ("software") -> lower-case child names,
// a set, since every registry rule looks a name up in it; empty when the
// key could not be opened or listed, absent until first asked for.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "platform/Registry.h"

// Hashes a name and the view of one alike, so a set of names is searched
// with a view into a longer path, without a copy.
struct SubkeyNameHash {
  using is_transparent = void;
  std::size_t operator()(std::wstring_view name) const { return std::hash<std::wstring_view>{}(name); }
};
using SubkeyNames = std::unordered_set<std::wstring, SubkeyNameHash, std::equal_to<>>;

using SubkeyChildren = std::optional<SubkeyNames>;
using SubkeyCache = std::map<platform::RegistryRoot, std::map<std::uint32_t, std::map<std::wstring, SubkeyChildren>>>;
