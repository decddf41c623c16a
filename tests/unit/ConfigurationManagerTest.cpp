#include "config/ConfigurationManager.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <thread>

#include "tests/fakes/TestServices.h"
#include "util/Utf8.h"

using platform::KnownFolder;
using platform::RegistryRoot;
using platform::RegistryView;

namespace {

class ConfigurationTest : public testing::Test {
 protected:
  ConfigurationManager Make(const std::string& key = "DLM") {
    return ConfigurationManager(machine.Bundle(), BuiltInSettings{.wizardKey = key});
  }
  void SetWow64(bool wow64) {
    machine.system->Set({.wow64 = wow64});
  }

  fakes::TestServices machine;
};

}  // namespace

// The built-in values of a download-manager wizard.
TEST_F(ConfigurationTest, DownloadWizardStartsWithItsBuiltInValues) {
  machine.knownFolders->folders[KnownFolder::Downloads] = L"C:\\Users\\u\\Downloads";
  auto config = Make();
  EXPECT_EQ(config.wizardType, DLM);
  EXPECT_FALSE(config.btClassic);
  EXPECT_FALSE(config.btWarning);
  EXPECT_TRUE(config.reportFailureAsCompletion);
  EXPECT_EQ(config.programVersion, L"3.0.13.11135");
  EXPECT_EQ(config.brandName, L"Quenbril");
  EXPECT_EQ(config.installerId, L"Quenbril_DLM");
  EXPECT_EQ(config.sourceId, L"Quenbril_3cpp");
  EXPECT_EQ(config.backgroundColor, 0x00FAFAFAu);
  EXPECT_EQ(config.accentColor, 0x00BD7702u);
  const std::wregex endpoint(LR"(https://[a-z0-9.-]+\.[a-z]+(/o|/zbd|/f/|/privacy/))");
  for (const auto* url : {&config.configUrl, &config.eventUrl, &config.imageBaseUrl, &config.privacyPolicyUrl})
    EXPECT_TRUE(std::regex_match(*url, endpoint)) << WideToUtf8(*url);
  EXPECT_TRUE(config.configUrl.ends_with(L"/o"));
  EXPECT_TRUE(config.eventUrl.ends_with(L"/zbd"));
  EXPECT_TRUE(config.imageBaseUrl.ends_with(L"/f/"));
  // One host for the three endpoints.
  EXPECT_EQ(config.configUrl.substr(0, config.configUrl.size() - 2),
            config.eventUrl.substr(0, config.eventUrl.size() - 4));
  EXPECT_EQ(config.downloadFolder, L"C:\\Users\\u\\Downloads");
  EXPECT_TRUE(config.productTitle.empty());
  EXPECT_TRUE(machine.messageBoxes->Shown().empty());
}

TEST_F(ConfigurationTest, MissingVersionResourceLeavesTheVersionEmpty) {
  machine.environment->fileVersion.reset();
  EXPECT_EQ(Make().programVersion, L"");
}

TEST_F(ConfigurationTest, UnknownWizardKeyIsReportedAndSetsNoFolders) {
  auto config = Make("XYZ");
  EXPECT_EQ(config.wizardType, WizardUnknown);
  ASSERT_EQ(machine.messageBoxes->Shown().size(), 1u);
  EXPECT_EQ(machine.messageBoxes->Shown()[0].text, L"Unknown wizard type");
  EXPECT_EQ(machine.messageBoxes->Shown()[0].style, platform::kMbOk);
  EXPECT_TRUE(config.downloadFolder.empty());
  EXPECT_TRUE(config.workFolder.empty());
  EXPECT_EQ(config.configUrl.empty(), false);  // construction went on
}

// Downloads, then Documents, then the temporary folder, then C:\.
TEST_F(ConfigurationTest, DownloadFolderFallsBackInOrder) {
  machine.knownFolders->folders[KnownFolder::Documents] = L"D:\\Docs";
  EXPECT_EQ(Make().downloadFolder, L"D:\\Docs");

  machine.knownFolders->folders.clear();
  EXPECT_EQ(Make().downloadFolder, *machine.files->tempFolder);

  machine.files->tempFolder.reset();
  EXPECT_EQ(Make().downloadFolder, L"C:\\");
}

TEST_F(ConfigurationTest, EachWizardGetsAFreshWorkFolderUnderTheTemporaryFolder) {
  auto first = Make();
  auto second = Make();
  ASSERT_NE(first.workFolder, second.workFolder);
  for (const auto& folder : {first.workFolder, second.workFolder}) {
    const std::filesystem::path path(folder);
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_EQ(path.parent_path(), machine.scratch.Path());
    EXPECT_TRUE(std::regex_match(path.filename().string(), std::regex("ISV[0-9A-F]{4}\\.TMP")))
        << path.filename();
    // Only the owner (the elevated wizard) may enter it.
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms::owner_all);
  }
}

namespace {

// Takes the work folder's name as soon as its placeholder file is gone: a
// folder, a link to a folder or a link to nothing, in the way an
// unelevated process would to catch what the wizard downloads.
class PlantingFileSystem : public fakes::TempFolderFileSystem {
 public:
  enum class Plant { Folder, LinkToFolder, DanglingLink };

  PlantingFileSystem(std::filesystem::path temp, Plant plant, int times)
      : TempFolderFileSystem(temp.wstring() + L"/"), temp(std::move(temp)), plant(plant), times(times) {}

  platform::Win32Error RemoveFile(const std::wstring& path) override {
    const platform::Win32Error error = TempFolderFileSystem::RemoveFile(path);
    if (planted.size() < static_cast<std::size_t>(times)) {
      const std::filesystem::path name(path);
      switch (plant) {
        case Plant::Folder: std::filesystem::create_directory(name); break;
        case Plant::LinkToFolder: std::filesystem::create_directory_symlink(Target(), name); break;
        case Plant::DanglingLink: std::filesystem::create_directory_symlink(temp / "nothing", name); break;
      }
      planted.push_back(name);
    }
    return error;
  }
  std::filesystem::path Target() const { return temp / "target"; }

  std::filesystem::path temp;
  Plant plant;
  int times;
  std::vector<std::filesystem::path> planted;
};

}  // namespace

// A name taken between the placeholder's removal and the folder's creation
// is never used, whatever took it: the next name is, and after sixteen
// taken names there is no work folder. What was planted stays as it was.
TEST_F(ConfigurationTest, WorkFolderNeverReusesANameSomethingElseTook) {
  using Plant = PlantingFileSystem::Plant;
  const struct {
    Plant plant;
    int times;
    bool made;
  } cases[] = {
      {Plant::Folder, 1, true},       {Plant::LinkToFolder, 1, true}, {Plant::DanglingLink, 1, true},
      {Plant::LinkToFolder, 3, true}, {Plant::Folder, 16, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.plant) * 100 + c.times);
    const std::filesystem::path temp = machine.scratch.Path() / ("temp" + std::to_string(&c - cases));
    std::filesystem::create_directories(temp / "target");
    PlantingFileSystem files(temp, c.plant, c.times);
    const std::wstring folder = CreateWorkFolder(files);
    ASSERT_EQ(files.planted.size(), static_cast<std::size_t>(c.times));
    EXPECT_EQ(folder.empty(), !c.made) << WideToUtf8(folder);
    for (const auto& planted : files.planted) {
      EXPECT_NE(std::filesystem::path(folder), planted);
      EXPECT_EQ(std::filesystem::is_symlink(planted), c.plant != Plant::Folder);
    }
    if (c.made) {
      EXPECT_EQ(std::filesystem::path(folder).parent_path(), temp);
      EXPECT_FALSE(std::filesystem::is_symlink(folder));
      EXPECT_EQ(std::filesystem::status(folder).permissions(), std::filesystem::perms::owner_all);
    }
    // Nothing was made through a link, and no placeholder is left.
    EXPECT_TRUE(std::filesystem::is_empty(files.Target()));
    EXPECT_FALSE(std::filesystem::exists(temp / "nothing"));
    std::size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(temp)) entries += entry.path() != files.Target();
    EXPECT_EQ(entries, files.planted.size() + (c.made ? 1 : 0));
  }
}

TEST_F(ConfigurationTest, VendorWizardWorksInItsWorkFolder) {
  auto config = Make("ISV");
  EXPECT_EQ(config.wizardType, ISV);
  EXPECT_EQ(config.productTitle, L"Quenbril");
  EXPECT_EQ(config.installerId, L"Quenbril_DLM");
  EXPECT_FALSE(config.workFolder.empty());
  EXPECT_EQ(config.downloadFolder, config.workFolder);
}

// The vendor wizard takes its product from the build; the download manager's comes from its answer.
TEST_F(ConfigurationTest, VendorProductIsBuiltIn) {
  BuiltInSettings settings{.wizardKey = "ISV",
                           .productTitle = L"Vendor Tool",
                           .productUrl = L"https://vendor.example/setup.exe",
                           .mainProductArguments = L"/S",
                           .launchFile = L"{localappdata}\\Vendor\\tool.exe",
                           .launchParameters = L"--welcome",
                           .productPrivacyUrl = L"https://vendor.example/privacy",
                           .productTermsUrl = L"https://vendor.example/terms"};
  const ConfigurationManager isv(machine.Bundle(), settings);
  EXPECT_EQ(isv.productTitle, L"Vendor Tool");
  EXPECT_EQ(isv.productUrl, L"https://vendor.example/setup.exe");
  EXPECT_EQ(isv.mainProductArguments, L"/S");
  EXPECT_EQ(isv.launchFile, L"{localappdata}\\Vendor\\tool.exe");
  EXPECT_EQ(isv.launchParameters, L"--welcome");
  EXPECT_EQ(isv.productPrivacyUrl, L"https://vendor.example/privacy");
  EXPECT_EQ(isv.productTermsUrl, L"https://vendor.example/terms");

  settings.wizardKey = "DLM";
  const ConfigurationManager dlm(machine.Bundle(), settings);
  for (const std::wstring* field : {&dlm.productTitle, &dlm.productUrl, &dlm.mainProductArguments, &dlm.launchFile,
                                    &dlm.launchParameters, &dlm.productPrivacyUrl, &dlm.productTermsUrl})
    EXPECT_TRUE(field->empty()) << WideToUtf8(*field);
}

// Without a unique name there is no work folder; the temporary folder itself
// must never become one, since the work folder is deleted at the end.
TEST_F(ConfigurationTest, NoWorkFolderWhenNoUniqueNameCanBeMade) {
  machine.files->tempFolder = machine.scratch.Wide() + L"/missing/";
  auto dlm = Make();
  EXPECT_TRUE(dlm.workFolder.empty());
  auto isv = Make("ISV");
  EXPECT_TRUE(isv.workFolder.empty());
  EXPECT_TRUE(isv.downloadFolder.empty());

  machine.files->tempFolder = machine.scratch.Wide() + L"/";
  std::filesystem::permissions(machine.scratch.Path(), std::filesystem::perms::owner_read |
                                                           std::filesystem::perms::owner_exec);
  if (::geteuid() != 0) {  // root may write anyway
    EXPECT_TRUE(Make().workFolder.empty());
  }
  std::filesystem::permissions(machine.scratch.Path(), std::filesystem::perms::owner_all);
}

TEST_F(ConfigurationTest, FolderTokensAreInsertedInOrder) {
  SetWow64(true);
  machine.knownFolders->folders = {{KnownFolder::LocalAppData, L"L"},
                                   {KnownFolder::RoamingAppData, L"R"},
                                   {KnownFolder::ProgramFilesX86, L"X86"}};
  machine.environment->variables[L"ProgramW6432"] = L"P64";
  const auto tokens = Make().GetFolderTokens();
  const std::vector<FolderTokens::Entry> expected = {{L"commonpf", L"{commonpf64}"}, {L"localappdata", L"L"},
                                                     {L"commonappdata", L"R"},       {L"programdata", L""},
                                                     {L"commonpf32", L"X86"},        {L"commonpf64", L"P64"}};
  EXPECT_EQ(tokens.Entries(), expected);
}

TEST_F(ConfigurationTest, ExpandsFolderTokensInOnePass) {
  struct Case {
    bool wow64;
    std::optional<std::wstring> programW6432;
    std::wstring text;
    std::wstring expected;
  };
  const std::wstring longValue(260, L'x');
  const std::wstring longestThatFits(259, L'y');
  const Case cases[] = {
      {true, L"C:\\Program Files", L"{commonpf}\\App\\app.exe", L"C:\\Program Files\\App\\app.exe"},
      {true, std::nullopt, L"{commonpf}\\App", L"{commonpf64}\\App"},
      {true, L"", L"{commonpf}\\App", L"{commonpf64}\\App"},
      {true, longValue, L"{commonpf}\\App", L"{commonpf64}\\App"},
      {true, longestThatFits, L"{commonpf}", longestThatFits},
      {false, L"C:\\Program Files", L"{commonpf}\\App", L"C:\\PF86\\App"},
      {false, L"C:\\Program Files", L"{commonpf64}\\App", L"{commonpf64}\\App"},
      {true, L"P", L"{commonappdata}|{localappdata}|{programdata}", L"C:\\Roaming|C:\\Local|C:\\ProgramData"},
      {true, L"P", L"{unknown}{COMMONPF32}{commonpf32}{commonpf32}", L"{unknown}{COMMONPF32}C:\\PF86C:\\PF86"},
      {true, L"P", L"", L""},
  };
  for (const auto& c : cases) {
    SetWow64(c.wow64);
    machine.knownFolders->folders = {{KnownFolder::LocalAppData, L"C:\\Local"},
                                     {KnownFolder::RoamingAppData, L"C:\\Roaming"},
                                     {KnownFolder::ProgramData, L"C:\\ProgramData"},
                                     {KnownFolder::ProgramFilesX86, L"C:\\PF86"}};
    machine.environment->variables.erase(L"ProgramW6432");
    if (c.programW6432) machine.environment->variables[L"ProgramW6432"] = *c.programW6432;
    EXPECT_EQ(Make().ExpandFolderTokens(c.text), c.expected) << WideToUtf8(c.text);
  }
}

// Entries are visited once, in order: a folder that holds a token of an
// earlier entry, or its own token, stays as it is and expansion ends.
TEST_F(ConfigurationTest, ExpansionNeverLoops) {
  SetWow64(false);
  machine.knownFolders->folders = {{KnownFolder::LocalAppData, L"{localappdata}\\again"},
                                   {KnownFolder::ProgramData, L"{localappdata}"}};
  auto config = Make();
  EXPECT_EQ(config.ExpandFolderTokens(L"{localappdata}|{programdata}"), L"{localappdata}\\again|{localappdata}");
}

TEST_F(ConfigurationTest, TokensAreBuiltOnceAndFailedLookupsGiveEmptyFolders) {
  SetWow64(false);
  auto config = Make();
  EXPECT_EQ(config.ExpandFolderTokens(L"[{localappdata}]"), L"[]");
  machine.knownFolders->folders[KnownFolder::LocalAppData] = L"C:\\Later";
  EXPECT_EQ(config.ExpandFolderTokens(L"[{localappdata}]"), L"[]");
  EXPECT_TRUE(config.folderTokensReady);
}

TEST_F(ConfigurationTest, SessionTimestampIsTheFirstCallsLocalTime) {
  machine.clock->now = 1'700'000'000;  // 2023-11-14 22:13:20 UTC
  auto config = Make();
  EXPECT_EQ(config.GetSessionTimestamp(), "20231114221320");
  machine.clock->Advance(1);
  EXPECT_EQ(config.GetSessionTimestamp(), "20231114221320");
}

TEST_F(ConfigurationTest, FailedTimeConversionGivesEmptyAndIsTriedAgain) {
  auto config = Make();
  machine.clock->localTimeFails = true;
  EXPECT_EQ(config.GetSessionTimestamp(), "");
  machine.clock->localTimeFails = false;
  EXPECT_EQ(config.GetSessionTimestamp().size(), 14u);
}

TEST_F(ConfigurationTest, MachineIdComesFromTheSixtyFourBitView) {
  const std::wstring key = L"SOFTWARE\\Microsoft\\Cryptography";
  machine.registry->SetString(RegistryRoot::LocalMachine, key, L"MachineGuid",
                              L"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0", RegistryView::Force64);
  machine.registry->SetString(RegistryRoot::LocalMachine, key, L"MachineGuid", L"wrong-view",
                              RegistryView::Force32);
  auto config = Make();
  EXPECT_EQ(config.GetMachineId(), "0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0");
  machine.registry->DeleteKey(RegistryRoot::LocalMachine, key, RegistryView::Force64);
  EXPECT_EQ(config.GetMachineId(), "0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0");  // cached
}

TEST(ReadMachineGuid, MissingTooLongOrUnterminatedData) {
  const std::wstring key = L"SOFTWARE\\Microsoft\\Cryptography";
  struct Case {
    std::optional<platform::RegistryValue> value;
    std::string expected;
  };
  const auto text = [](const std::wstring& t) {
    return platform::RegistryValue{platform::kRegSz, platform::posix::RegistryStringBytes(t)};
  };
  const Case cases[] = {
      {std::nullopt, ""},
      {text(std::wstring(254, L'a')), std::string(254, 'a')},  // 255 bytes with the NUL
      {text(std::wstring(255, L'a')), ""},                     // does not fit: the read fails
      {platform::RegistryValue{platform::kRegBinary, std::vector<std::uint8_t>(255, 'b')}, std::string(254, 'b')},
  };
  for (const auto& c : cases) {
    platform::posix::MemoryRegistry registry;
    registry.CreateKey(RegistryRoot::LocalMachine, key);
    if (c.value) registry.SetValue(RegistryRoot::LocalMachine, key, L"MachineGuid", *c.value);
    EXPECT_EQ(ReadMachineGuid(registry), c.expected);
  }
  platform::posix::MemoryRegistry empty;
  EXPECT_EQ(ReadMachineGuid(empty), "");
}

TEST(GetConfiguration, AllCallersShareOneInstance) {
  std::vector<std::shared_ptr<ConfigurationManager>> seen(8);
  std::vector<std::thread> threads;
  for (auto& slot : seen) threads.emplace_back([&slot] { slot = GetConfiguration(); });
  for (auto& thread : threads) thread.join();
  for (const auto& config : seen) EXPECT_EQ(config, seen.front());
  EXPECT_EQ(seen.front()->wizardType, DLM);
}
