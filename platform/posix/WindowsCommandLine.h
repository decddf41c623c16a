// Splitting a Windows command line into its program and arguments, by the
// rules Windows programs read their own command line with.
#pragma once

#include <string>
#include <vector>

namespace platform::posix {

// The first token is the program: up to the next quote when it starts with
// one, else up to the first blank or tab. The arguments follow the C
// runtime's rules: blanks separate outside quotes; 2n backslashes before a
// quote give n backslashes and the quote opens or closes a quoted part;
// 2n+1 give n backslashes and a literal quote; "" inside a quoted part is a
// literal quote; other backslashes are literal.
std::vector<std::wstring> SplitWindowsCommandLine(const std::wstring& commandLine);

}  // namespace platform::posix
