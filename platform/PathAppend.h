// Joining a folder and a name the way PathAppendW does in a buffer of
// MAX_PATH characters, without its folding of "." and ".." parts: callers
// that take names from the network refuse those themselves.
#pragma once

#include <optional>
#include <string>

// folder + "\" + name, with exactly one backslash between them (none when
// the folder is empty); nullopt when the result would not fit in 259
// characters and its terminator.
std::optional<std::wstring> AppendPath(const std::wstring& folder, const std::wstring& name);
