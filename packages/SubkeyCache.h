// The children of the software keys, enumerated once per root and view and
// kept for one pass over the offers: root key -> view flag (0 or
// KEY_WOW64_64KEY) -> subkey name ("software") -> lower-case child names.
// An empty list counts as not yet filled.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/Registry.h"

using SubkeyCache =
    std::map<platform::RegistryRoot, std::map<std::uint32_t, std::map<std::wstring, std::vector<std::wstring>>>>;
