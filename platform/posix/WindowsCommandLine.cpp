#include "platform/posix/WindowsCommandLine.h"

namespace platform::posix {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::vector<std::wstring> SplitWindowsCommandLine(const std::wstring& commandLine) {
  std::vector<std::wstring> tokens;
  std::size_t i = 0;
  const std::size_t n = commandLine.size();

  std::wstring program;
  if (i < n && commandLine[i] == L'"') {
    const std::size_t close = commandLine.find(L'"', i + 1);
    program = commandLine.substr(i + 1, close == std::wstring::npos ? std::wstring::npos : close - i - 1);
    i = close == std::wstring::npos ? n : close + 1;
  } else {
    while (i < n && !IsBlank(commandLine[i])) program += commandLine[i++];
  }
  tokens.push_back(program);

  while (true) {
    while (i < n && IsBlank(commandLine[i])) ++i;
    if (i >= n) break;
    std::wstring argument;
    bool quoted = false;
    while (i < n && (quoted || !IsBlank(commandLine[i]))) {
      if (commandLine[i] == L'\\') {
        std::size_t backslashes = 0;
        while (i < n && commandLine[i] == L'\\') ++backslashes, ++i;
        if (i < n && commandLine[i] == L'"') {
          argument.append(backslashes / 2, L'\\');
          if (backslashes % 2 == 1) {
            argument += L'"';
            ++i;
          }
        } else {
          argument.append(backslashes, L'\\');
        }
      } else if (commandLine[i] == L'"') {
        if (quoted && i + 1 < n && commandLine[i + 1] == L'"') {
          argument += L'"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        argument += commandLine[i++];
      }
    }
    tokens.push_back(std::move(argument));
  }
  return tokens;
}

}  // namespace platform::posix
