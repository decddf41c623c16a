#include "install/TargetPath.h"

#include <cwctype>

#include "config/ConfigurationManager.h"
#include "platform/PathAppend.h"

namespace {

// A device Windows opens for this name in any folder and with any
// extension: CON, PRN, AUX, NUL, COM0-9 and LPT0-9 (also with the
// superscript digits), CONIN$, CONOUT$.
bool IsDeviceName(const std::wstring& name) {
  std::wstring stem = name.substr(0, name.find(L'.'));
  while (!stem.empty() && stem.back() == L' ') stem.pop_back();
  for (wchar_t& c : stem) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
  if (stem == L"CON" || stem == L"PRN" || stem == L"AUX" || stem == L"NUL" || stem == L"CONIN$" || stem == L"CONOUT$")
    return true;
  if (stem.size() != 4 || !(stem.starts_with(L"COM") || stem.starts_with(L"LPT"))) return false;
  const wchar_t digit = stem[3];
  return (digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3';
}

// A name that stays a file of that name in its folder. Names come from the
// network: no folder part, no stream (':'), no device, and not only dots and
// blanks, which Windows drops from the end of a name (leaving the folder
// itself or its parent).
bool IsPlainName(const std::wstring& name) {
  return name.find_first_not_of(L". ") != std::wstring::npos && name.find_first_of(L"\\/:") == std::wstring::npos &&
         !IsDeviceName(name);
}

}  // namespace

std::wstring MakeTargetPath(const ConfigurationManager& configuration, const std::wstring& fileName, bool toTempFolder) {
  const platform::Services& services = configuration.Services();
  const std::wstring& folder = toTempFolder ? configuration.workFolder : configuration.downloadFolder;
  if (!services.files->IsDirectory(folder)) {
    services.messageBoxes->Show(L"Invalid path", L"", platform::kMbOk);
    return L"";
  }
  if (!IsPlainName(fileName)) return L"";
  return AppendPath(folder, fileName).value_or(L"");
}

std::wstring MakeTargetPathFromUrl(const ConfigurationManager& configuration, const std::wstring& url, bool toTempFolder) {
  const auto slash = url.rfind(L'/');
  const std::wstring name = slash == std::wstring::npos ? L"" : url.substr(slash + 1);
  return MakeTargetPath(configuration, name, toTempFolder);
}
