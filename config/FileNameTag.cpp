#include "config/FileNameTag.h"

std::wstring GetFileNameTag(platform::Environment& environment) {
  return FileNameTagOf(environment.ExecutablePath());
}

std::wstring FileNameTagOf(const std::wstring& executablePath) {
  const auto underscore = executablePath.rfind(L'_');
  if (underscore == std::wstring::npos) return {};
  std::wstring tag = executablePath.substr(underscore + 1);
  if (const auto dot = tag.rfind(L'.'); dot != std::wstring::npos) tag.resize(dot);
  if (tag.size() == 7 && tag.find(L'-') != std::wstring::npos) return tag;
  return {};
}
