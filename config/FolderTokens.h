// The folder tokens ("commonpf", "localappdata", ...) and their folders,
// kept in insertion order: expansion visits them in that order, and the
// first entry's value is itself a token resolved by a later entry.
#pragma once

#include <string>
#include <vector>

class FolderTokens {
 public:
  struct Entry {
    std::wstring name;  // without braces
    std::wstring folder;
    bool operator==(const Entry&) const = default;
  };

  // Adds the entry unless the name is present; an existing entry is kept.
  void Insert(const std::wstring& name, const std::wstring& folder);
  const std::wstring* Find(const std::wstring& name) const;
  const std::vector<Entry>& Entries() const { return entries; }

  // One pass over the entries in order: every "{name}" in text is replaced
  // by its folder. A token that is not an entry stays as it is.
  std::wstring Expand(std::wstring text) const;

 private:
  std::vector<Entry> entries;
  std::vector<std::wstring> patterns;  // "{name}" of each entry, in the same order
};
