// Lower case as the C run-time library's wide conversions give it (towlower,
// _wcslwr_s): each code unit on its own.
#pragma once

#include <string>

std::wstring ToLowerWide(std::wstring text);
