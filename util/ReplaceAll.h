// Replacing every occurrence of a placeholder in a text.
#pragma once

#include <string>

// Replaces every occurrence of `pattern` in `text` by `value`. The search
// goes on after each inserted value, so a value that holds the pattern, or
// another placeholder, is never expanded again by this call.
void ReplaceAll(std::string& text, const std::string& pattern, const std::string& value);
void ReplaceAll(std::wstring& text, const std::wstring& pattern, const std::wstring& value);
