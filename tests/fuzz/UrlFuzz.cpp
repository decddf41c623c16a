#include <cwctype>
#include <filesystem>

#include "config/ConfigurationManager.h"
#include "install/ArchiveHandling.h"
#include "install/TargetPath.h"
#include "platform/posix/HttpUrl.h"
#include "tests/fakes/TestServices.h"
#include "tests/fuzz/FuzzTargets.h"
#include "util/UrlValidation.h"
#include "util/Utf8.h"

namespace fuzz {
namespace {

// A name Windows would read as something else than a file of that name in
// the folder: only dots and blanks (the folder or its parent once trailing
// dots and blanks are dropped), a stream (':'), or a device (CON, NUL,
// COM1, ... with any extension).
bool IsDeviceOrFolderName(const std::wstring& name) {
  if (name.find_first_not_of(L". ") == std::wstring::npos) return true;
  if (name.find(L':') != std::wstring::npos) return true;
  std::wstring stem = name.substr(0, name.find(L'.'));
  while (!stem.empty() && stem.back() == L' ') stem.pop_back();
  for (wchar_t& c : stem) c = static_cast<wchar_t>(std::towupper(c));
  if (stem == L"CON" || stem == L"PRN" || stem == L"AUX" || stem == L"NUL" || stem == L"CONIN$" ||
      stem == L"CONOUT$")
    return true;
  return stem.size() == 4 && (stem.starts_with(L"COM") || stem.starts_with(L"LPT")) && stem[3] >= L'0' &&
         stem[3] <= L'9';
}

// The part of `path` after `folder` and a backslash; nullopt when the path
// is not inside the folder.
std::optional<std::wstring> NameInside(const std::wstring& path, const std::wstring& folder) {
  if (!path.starts_with(folder + L"\\")) return std::nullopt;
  return path.substr(folder.size() + 1);
}

}  // namespace

void Url(std::string_view input) {
  const std::wstring url = Utf8ToWide(input);

  const bool valid = IsValidUrl(url);
  const bool webLink = IsWebLink(url);
  Expect(!webLink || url.size() > 7, "a web link without a host");
  (void)valid;

  platform::UrlParts parts;
  if (platform::posix::CrackHttpUrl(url, parts) == platform::kErrorSuccess) {
    Expect(!parts.host.empty(), "a split URL without a host");
    // The host goes as written (libcurl refuses a malformed one); the path
    // must reach it escaped.
    const std::string curlUrl = platform::posix::MakeCurlUrl(parts.secure, L"h", parts.port, parts.path);
    for (unsigned char c : curlUrl) Expect(c > 0x20 && c < 0x7F, "a byte libcurl may not get in its URL path");
  }

  fakes::TestServices machine;
  std::filesystem::create_directories(machine.scratch.Path() / "Downloads");
  ConfigurationManager configuration(machine.Bundle(), BuiltInSettings{.wizardKey = "DLM"});
  configuration.downloadFolder = machine.scratch.Wide() + L"\\Downloads";
  configuration.workFolder = configuration.downloadFolder;
  const std::wstring target = MakeTargetPathFromUrl(configuration, url, false);
  if (target.empty()) return;
  const auto name = NameInside(target, configuration.downloadFolder);
  Expect(name && !name->empty() && name->find_first_of(L"\\/") == std::wstring::npos,
         "a file name from a URL leaves the download folder");
  Expect(!IsDeviceOrFolderName(*name), "a file name from a URL names a device, a stream or a folder");

  const std::wstring base = machine.scratch.Wide() + L"\\Extracted";
  std::filesystem::create_directories(machine.scratch.Path() / "Extracted");
  const std::wstring folder = MakeExtractFolder(*machine.files, target, base);
  if (folder == base) return;
  const auto folderName = NameInside(folder, base);
  Expect(folderName && !folderName->empty() && folderName->find_first_of(L"\\/") == std::wstring::npos,
         "an extraction folder outside its base folder");
  Expect(!IsDeviceOrFolderName(*folderName), "an extraction folder named as a device, a stream or a folder");
}

}  // namespace fuzz
