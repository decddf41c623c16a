// Where a download is written: a name in the download folder or the work
// folder of the configuration.
#pragma once

#include <string>

#include "platform/Services.h"

class ConfigurationManager;

// The configuration's workFolder when `toTempFolder`, else its
// downloadFolder, joined with `fileName`. Empty when the folder is missing
// (the message box "Invalid path" is shown first, from the calling thread),
// when the name is empty, ".", "..", or holds a slash or backslash (names
// come from the network and never leave their folder), or when the path
// would exceed 259 characters.
std::wstring MakeTargetPath(const ConfigurationManager& configuration, const std::wstring& fileName, bool toTempFolder);

// MakeTargetPath with the name taken from the URL: everything after its last
// "/", query text included (no "/" at all: no name).
std::wstring MakeTargetPathFromUrl(const ConfigurationManager& configuration, const std::wstring& url, bool toTempFolder);
