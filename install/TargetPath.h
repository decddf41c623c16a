// Where a download is written: a name in the download folder or the work
// folder of the configuration.
#pragma once

#include <string>

#include "platform/Services.h"

class ConfigurationManager;

// The configuration's workFolder when `toTempFolder`, else its
// downloadFolder, joined with `fileName`. Empty when the folder is missing
// (the message box "Invalid path" is shown first, from the calling thread),
// when the name is empty or only dots and blanks, holds a slash, backslash
// or colon, or names a device such as CON or COM1.txt (names come from the
// network and never leave their folder or reach a stream or device), or
// when the path would exceed 259 characters.
std::wstring MakeTargetPath(const ConfigurationManager& configuration, const std::wstring& fileName, bool toTempFolder);

// MakeTargetPath with the name taken from the URL: everything after its last
// "/", query text included (no "/" at all: no name).
std::wstring MakeTargetPathFromUrl(const ConfigurationManager& configuration, const std::wstring& url, bool toTempFolder);
