// The one process-wide record of the wizard: its kind, the built-in
// endpoints and identifiers, colours, folders, the product the server names,
// the user's choices and a few run-time flags.
//
// Obtained through GetConfiguration(). It has no lock: the loading task
// writes the product fields before it signals completion, and the window
// thread reads them only after that message.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "config/FolderTokens.h"
#include "platform/Services.h"

class Package;
namespace ui {
class Image;
}

enum WizardType : int { WizardUnknown = 0, DLM = 1, ISV = 2 };

using ColorRef = std::uint32_t;  // 0x00BBGGRR, as a Windows COLORREF

// What the executable was built with (DefaultBuiltInSettings: the build's
// settings, cmake/WizardVariants.cmake). Tests build other kinds of wizard.
struct BuiltInSettings {
  std::string wizardKey;  // "DLM" or "ISV"
  bool btClassic = false;
  bool btWarning = false;
  // The vendor wizard's product: its answer names none, the vendor builds it in.
  std::wstring productTitle = L"Quenbril";
  std::wstring productUrl{};
  std::wstring mainProductArguments{};
  std::wstring launchFile{};
  std::wstring launchParameters{};
  std::wstring productPrivacyUrl{};
  std::wstring productTermsUrl{};
};
BuiltInSettings DefaultBuiltInSettings();  // config/DefaultBuiltInSettings.cpp

class ConfigurationManager {
 public:
  explicit ConfigurationManager(platform::Services services,
                                const BuiltInSettings& builtIns = DefaultBuiltInSettings());

  // Session id: the local time of the first call as "%Y%m%d%H%M%S"; empty
  // (and tried again next time) when the time cannot be converted.
  std::string GetSessionTimestamp();
  // User id: the machine GUID read on the first call ("" when missing).
  std::string GetMachineId();
  // A copy of the folder tokens, built on first use.
  FolderTokens GetFolderTokens();
  void BuildFolderTokens();
  // Replaces every known folder token in text, in one pass.
  std::wstring ExpandFolderTokens(std::wstring text);
  void SetDownloadedFilePath(const std::wstring& path);

  // The OS seam the wizard was assembled with. Whatever holds the
  // configuration reaches the seam here, and nowhere else.
  const platform::Services& Services() const { return services; }

  std::string wizardKey;  // as built in; part of the single-instance mutex's name
  int wizardType = WizardUnknown;
  bool btClassic = false;
  bool btWarning = false;
  bool reportFailureAsCompletion = false;
  std::wstring productTitle;
  std::wstring productUrl;
  std::string productSha256;  // the product download's digest in hexadecimal; empty: not checked
  std::wstring productImageUrl;
  std::wstring productPrivacyUrl;
  std::wstring productTermsUrl;
  std::wstring privacyPolicyUrl;
  std::wstring downloadFolder;
  std::wstring productFileName;
  std::wstring workFolder;
  std::wstring mainProductArguments;
  std::array<bool, 8> btOptions{};
  std::wstring launchFile;
  std::wstring launchParameters;
  std::wstring installerId;
  std::wstring downloadedFilePath;
  std::wstring programVersion;
  std::wstring configUrl;
  std::wstring eventUrl;
  std::wstring brandName;
  std::wstring sourceId;
  std::wstring productCh;
  std::wstring productCfl;
  ColorRef backgroundColor = 0;
  ColorRef accentColor = 0;
  int offerLimit = 0;
  std::wstring imageBaseUrl;
  std::wstring languageDisplayName;
  std::wstring localeName;
  std::string countryCode;
  std::string publisherId;
  std::string ispb;
  std::vector<std::shared_ptr<Package>> acceptedPackages;
  std::vector<std::shared_ptr<Package>> shownPackages;
  std::shared_ptr<Package> mainPackage;
  std::shared_ptr<ui::Image> productIcon;
  std::string sessionTimestamp;
  std::string machineId;
  FolderTokens folderTokens;
  bool folderTokensReady = false;
  bool closeRequested = false;

 private:
  // The folders of the wizard's kind, and the vendor wizard's product.
  void SetDownloadFolders(const BuiltInSettings& builtIns);

  platform::Services services;
};

// The process-wide configuration, created on the first call with the real
// services of this target (platform::CreateSystemServices()).
std::shared_ptr<ConfigurationManager> GetConfiguration();

// Creates a fresh empty protected folder (FileSystem::MakeProtectedDirectory)
// "ISVxxxx.tmp" under the temporary folder and returns its path, or "" when
// none could be made. A name something else took meanwhile (a folder or a
// link planted to catch the downloads) is never used: another is chosen.
std::wstring CreateWorkFolder(platform::FileSystem& files);

// HKLM\SOFTWARE\Microsoft\Cryptography\MachineGuid in the 64-bit view, or "".
std::string ReadMachineGuid(platform::Registry& registry);
