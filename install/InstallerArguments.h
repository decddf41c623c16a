// The command-line arguments each package's installer is started with.
#pragma once

#include <array>
#include <string>

class ConfigurationManager;

// The 16-character option string of the BT classic flags: "1" for a set flag,
// "0" for a clear one, in the order the main product's installer reads them.
std::wstring MakeBtOptionString(const std::array<bool, 8>& btOptions);

// Main product: "/S /FORCEINSTALL " + the option string on the ISV download
// page when the configuration's btWarning is set, else the configuration's
// mainProductArguments. Offers: their installer arguments `p` (UTF-8).
std::wstring MakeInstallerArguments(bool isMainProduct, const std::string& offerArguments,
                                    const ConfigurationManager& configuration, bool isvDownloadPage);
