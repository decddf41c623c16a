// The children of the software keys, enumerated once per root and view and
// kept for one pass over the offers: root key -> view flag (0 or
// KEY_WOW64_64KEY) -> subkey name ("software") -> lower-case child names,
// a set, since every registry rule looks a name up in it; empty when the
// key could not be opened or listed, absent until first asked for.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_set>

#include "platform/Registry.h"

using SubkeyChildren = std::optional<std::unordered_set<std::wstring>>;
using SubkeyCache = std::map<platform::RegistryRoot, std::map<std::uint32_t, std::map<std::wstring, SubkeyChildren>>>;
