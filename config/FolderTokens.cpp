#include "config/FolderTokens.h"

void FolderTokens::Insert(const std::wstring& name, const std::wstring& folder) {
  if (!Find(name)) entries.push_back({name, folder});
}

const std::wstring* FolderTokens::Find(const std::wstring& name) const {
  for (const auto& [key, value] : entries)
    if (key == name) return &value;
  return nullptr;
}

std::wstring FolderTokens::Expand(std::wstring text) const {
  for (const auto& [name, folder] : entries) {
    const std::wstring pattern = L"{" + name + L"}";
    // Search on after each inserted folder: a folder that contains the
    // pattern itself is never expanded again within this entry.
    for (auto pos = text.find(pattern); pos != std::wstring::npos;
         pos = text.find(pattern, pos + folder.size())) {
      text.replace(pos, pattern.size(), folder);
    }
  }
  return text;
}
