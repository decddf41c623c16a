#include "config/FolderTokens.h"

#include "util/ReplaceAll.h"

void FolderTokens::Insert(const std::wstring& name, const std::wstring& folder) {
  if (Find(name)) return;
  entries.push_back({name, folder});
  patterns.push_back(L"{" + name + L"}");
}

const std::wstring* FolderTokens::Find(const std::wstring& name) const {
  for (const auto& [key, value] : entries)
    if (key == name) return &value;
  return nullptr;
}

std::wstring FolderTokens::Expand(std::wstring text) const {
  // Replacements only ever start at a token: without a brace there is none.
  if (text.find(L'{') == std::wstring::npos) return text;
  for (std::size_t entry = 0; entry < entries.size(); ++entry) {
    // A folder that contains the pattern itself is never expanded again
    // within this entry.
    ReplaceAll(text, patterns[entry], entries[entry].folder);
    // Every pattern has a brace: once none is left, no later entry matches.
    if (text.find(L'{') == std::wstring::npos) break;
  }
  return text;
}
