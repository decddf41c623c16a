// The system's message text for a Win32 error code.
#pragma once

#include <string>

#include "platform/Win32Error.h"

namespace platform {

// FormatMessageW from the system table, default language, inserts left as
// they are; the text as the system gives it (with its line break), or empty
// when the system has none for the code (as for WinHTTP and WinINet codes).
// Natively the English texts of the codes the backends produce.
std::wstring GetSystemErrorText(Win32Error code);

}  // namespace platform
