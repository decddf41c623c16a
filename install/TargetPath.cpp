#include "install/TargetPath.h"

#include "config/ConfigurationManager.h"
#include "platform/PathAppend.h"

namespace {

bool IsPlainName(const std::wstring& name) {
  return !name.empty() && name != L"." && name != L".." && name.find_first_of(L"\\/") == std::wstring::npos;
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
