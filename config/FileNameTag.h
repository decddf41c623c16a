// The tag a download site may put into the executable's file name, e.g.
// setup_ab1-cd2.exe carries "ab1-cd2".
#pragma once

#include <string>

#include "platform/Environment.h"

// The 7-character tag (with at least one '-') after the last '_' of the
// executable's path, without its extension; empty when there is none.
std::wstring GetFileNameTag(platform::Environment& environment);
std::wstring FileNameTagOf(const std::wstring& executablePath);
