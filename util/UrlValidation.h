// Tells a complete download URL from a path relative to the image host.
#pragma once

#include <string>

// True when the whole text is an optional lower-case http/https scheme, a
// dotted host of letters, digits, '_', '.', '-' and an optional path, query
// or fragment. No port, no user information, nothing non-ASCII in the host.
bool IsValidUrl(const std::wstring& text);

// True for an absolute http:// or https:// URL (scheme in any case) with a
// host after it: the only links from the server the wizard opens. It runs
// elevated, so a local path or another scheme would start a program.
bool IsWebLink(const std::wstring& text);
