#include "config/ConfigurationManager.h"

#include <cstring>
#include <ctime>

#include "config/BuildSettings.h"
#include "platform/WindowsVersion.h"
#include "util/DecimalText.h"
#include "util/Utf8.h"

namespace {

constexpr ColorRef kBackgroundColor = 0x00FAFAFA;
constexpr ColorRef kAccentColor = 0x00BD7702;

std::wstring HttpsUrl(const wchar_t* host, const wchar_t* path) {
  return std::wstring(L"https://") + host + path;
}

std::wstring JoinVersion(const platform::FileVersion& version) {
  return DecimalText(version[0]) + L"." + DecimalText(version[1]) + L"." +
         DecimalText(version[2]) + L"." + DecimalText(version[3]);
}

}  // namespace

ConfigurationManager::ConfigurationManager(platform::Services servicesIn, const BuiltInSettings& builtIns)
    : services(std::move(servicesIn)) {
  wizardKey = builtIns.wizardKey;
  if (builtIns.wizardKey == "DLM") {
    wizardType = DLM;
  } else if (builtIns.wizardKey == "ISV") {
    wizardType = ISV;
  } else {
    services.messageBoxes->Show(L"Unknown wizard type", L"", platform::kMbOk);
    wizardType = WizardUnknown;
  }

  btClassic = builtIns.btClassic;
  btWarning = builtIns.btWarning;
  reportFailureAsCompletion = true;
  if (auto version = services.environment->OwnFileVersion()) programVersion = JoinVersion(*version);

  configUrl = HttpsUrl(build::kServerHost, L"/o");
  eventUrl = HttpsUrl(build::kServerHost, L"/zbd");
  brandName = L"Quenbril";
  installerId = L"Quenbril_DLM";
  sourceId = L"Quenbril_3cpp";
  imageBaseUrl = HttpsUrl(build::kServerHost, L"/f/");
  backgroundColor = kBackgroundColor;
  accentColor = kAccentColor;
  privacyPolicyUrl = HttpsUrl(build::kWebHost, L"/privacy/");

  SetDownloadFolders(builtIns);
}

void ConfigurationManager::SetDownloadFolders(const BuiltInSettings& builtIns) {
  if (wizardType == DLM) {
    auto& folders = *services.knownFolders;
    if (auto downloads = folders.Path(platform::KnownFolder::Downloads)) {
      downloadFolder = *downloads;
    } else if (auto documents = folders.Path(platform::KnownFolder::Documents)) {
      downloadFolder = *documents;
    } else if (auto temp = services.files->TempFolder()) {
      downloadFolder = *temp;
    } else {
      downloadFolder = L"C:\\";
    }
    const std::wstring folder = CreateWorkFolder(*services.files);
    if (services.files->IsDirectory(folder)) workFolder = folder;
  } else if (wizardType == ISV) {
    productTitle = builtIns.productTitle;
    productUrl = builtIns.productUrl;
    productPrivacyUrl = builtIns.productPrivacyUrl;
    productTermsUrl = builtIns.productTermsUrl;
    mainProductArguments = builtIns.mainProductArguments;
    launchFile = builtIns.launchFile;
    launchParameters = builtIns.launchParameters;
    const std::wstring folder = CreateWorkFolder(*services.files);
    if (services.files->IsDirectory(folder)) {
      downloadFolder = folder;
      workFolder = folder;
    } else {
      downloadFolder.clear();
    }
  }
}

std::string ConfigurationManager::GetSessionTimestamp() {
  if (!sessionTimestamp.empty()) return sessionTimestamp;
  std::tm local{};
  if (!services.clock->ToLocalTime(services.clock->UnixTimeNow(), local)) return sessionTimestamp;
  char text[32] = {};
  const std::size_t length = std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &local);
  sessionTimestamp.assign(text, length);
  return sessionTimestamp;
}

std::string ConfigurationManager::GetMachineId() {
  if (machineId.empty()) machineId = ReadMachineGuid(*services.registry);
  return machineId;
}

FolderTokens ConfigurationManager::GetFolderTokens() {
  if (!folderTokensReady) BuildFolderTokens();
  return folderTokens;
}

void ConfigurationManager::BuildFolderTokens() {
  auto& system = *services.system;
  auto& folders = *services.knownFolders;
  const auto knownFolder = [&](platform::KnownFolder id) { return folders.Path(id).value_or(L""); };

  const bool is64 = Is64BitWindows(system);
  folderTokens.Insert(L"commonpf", is64 ? L"{commonpf64}" : L"{commonpf32}");
  folderTokens.Insert(L"localappdata", knownFolder(platform::KnownFolder::LocalAppData));
  folderTokens.Insert(L"commonappdata", knownFolder(platform::KnownFolder::RoamingAppData));
  folderTokens.Insert(L"programdata", knownFolder(platform::KnownFolder::ProgramData));
  folderTokens.Insert(L"commonpf32", knownFolder(platform::KnownFolder::ProgramFilesX86));

  if (is64) {
    // GetEnvironmentVariableW into 260 characters: a value that needs the
    // whole buffer or more does not fit, an empty one gives 0.
    const auto value = services.environment->Variable(L"ProgramW6432");
    if (value && !value->empty() && value->size() < platform::kMaxPath)
      folderTokens.Insert(L"commonpf64", *value);
  }
  folderTokensReady = true;
}

std::wstring ConfigurationManager::ExpandFolderTokens(std::wstring text) {
  if (!folderTokensReady) BuildFolderTokens();
  return folderTokens.Expand(std::move(text));
}

void ConfigurationManager::SetDownloadedFilePath(const std::wstring& path) { downloadedFilePath = path; }

std::shared_ptr<ConfigurationManager> GetConfiguration() {
  static std::once_flag once;
  static std::shared_ptr<ConfigurationManager> instance;
  std::call_once(once, [] { instance = std::make_shared<ConfigurationManager>(platform::CreateSystemServices()); });
  return instance;
}

std::wstring CreateWorkFolder(platform::FileSystem& files) {
  constexpr int kNameAttempts = 16;
  const auto temp = files.TempFolder();
  if (!temp) return {};
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::wstring path;
    // Without a fresh unique name there is no work folder: falling back to the
    // temporary folder itself would have the wizard delete all of it at the end.
    if (files.CreateUniqueTempFile(*temp, L"ISV", path) != platform::kErrorSuccess) return {};
    files.RemoveFile(path);
    // The name is free again between these two calls; whatever took it
    // meanwhile makes the creation fail, and the next name is tried.
    const platform::Win32Error error = files.MakeProtectedDirectory(path);
    if (error == platform::kErrorSuccess) return path;
    if (error != platform::kErrorAlreadyExists) return {};
  }
  return {};
}

std::string ReadMachineGuid(platform::Registry& registry) {
  std::unique_ptr<platform::RegistryKey> key;
  if (registry.OpenKeyNarrow(platform::RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\Cryptography",
                             platform::RegistryView::Force64, key) != platform::kErrorSuccess)
    return "";
  constexpr std::size_t kBufferSize = 255;
  platform::RegistryValue value;
  if (key->QueryValueNarrow("MachineGuid", kBufferSize, value) != platform::kErrorSuccess) return "";
  // The data ends at the returned length, at most 254 bytes, or at its NUL.
  std::string data(value.data.begin(), value.data.end());
  data.resize(std::min<std::size_t>(data.size(), kBufferSize - 1));
  return std::string(data.c_str());
}
