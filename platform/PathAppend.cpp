#include "platform/PathAppend.h"

#include "platform/Win32Error.h"

std::optional<std::wstring> AppendPath(const std::wstring& folder, const std::wstring& name) {
  std::wstring joined = folder;
  std::size_t start = 0;
  while (start < name.size() && name[start] == L'\\') ++start;
  if (!joined.empty() && joined.back() != L'\\' && start < name.size()) joined += L'\\';
  joined.append(name, start);
  if (joined.size() >= platform::kMaxPath) return std::nullopt;
  return joined;
}
