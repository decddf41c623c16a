#include "install/InstallerArguments.h"

#include "config/ConfigurationManager.h"
#include "util/Utf8.h"

std::wstring MakeBtOptionString(const std::array<bool, 8>& btOptions) {
  const auto flag = [&](int index) { return btOptions[index] ? L"1" : L"0"; };
  return std::wstring() + flag(5) + flag(6) + flag(3) + L"00" + flag(4) + L"0101" + flag(7) + flag(5) + flag(1) +
         flag(2) + flag(0) + L"0";
}

std::wstring MakeInstallerArguments(bool isMainProduct, const std::string& offerArguments,
                                    const ConfigurationManager& configuration, bool isvDownloadPage) {
  if (!isMainProduct) return Utf8ToWide(offerArguments);
  if (isvDownloadPage && configuration.btWarning) return L"/S /FORCEINSTALL " + MakeBtOptionString(configuration.btOptions);
  return configuration.mainProductArguments;
}
