#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "locale/LanguageManager.h"
#include "packages/Package.h"
#include "pages/FinishPageDlm.h"
#include "pages/FinishPageIsv.h"
#include "tests/fakes/TestPng.h"
#include "tests/unit/WizardTestHarness.h"

namespace {

using ui::headless::Driver;
using wizardtest::TestPage;
using wizardtest::WizardTest;

std::wstring ControlText(ui::WindowHandle dialog, int id) {
  const auto control = Driver::ControlOf(dialog, id);
  return control ? control->text : L"<no control>";
}

bool ControlVisible(ui::WindowHandle dialog, int id) {
  const auto control = Driver::ControlOf(dialog, id);
  return control && (control->style & ui::kWsVisible);
}

std::vector<ui::SystemMenuItem> SystemMenuOf(ui::WindowHandle window) { return Driver::Window(window)->systemMenu; }

bool HasCloseItem(ui::WindowHandle window) {
  for (const auto& item : SystemMenuOf(window)) {
    if (item.command == ui::kScClose) return true;
  }
  return false;
}

// A file in the work folder, so deleting the folder shows.
std::filesystem::path FillWorkFolder(const std::wstring& workFolder) {
  const std::filesystem::path file = std::filesystem::path(workFolder) / "download.part";
  std::ofstream(file) << "bytes";
  return file;
}

// A download-manager wizard starts titled "Setup" on the language page, its header title hidden, guarded by the mutex.
TEST_F(WizardTest, DownloadManagerStartsOnTheLanguagePage) {
  Start("DLM");
  const auto hostWindow = HostWindow();
  const auto host = Driver::Window(hostWindow);
  EXPECT_EQ(host->title, L"Setup");
  EXPECT_FALSE(ControlVisible(hostWindow, ids::kHeaderTitle));
  EXPECT_TRUE(ControlVisible(hostWindow, ids::kHeaderImage));
  EXPECT_TRUE(ControlVisible(hostWindow, ids::kHeaderLine));
  EXPECT_EQ(host->iconId, 128);
  EXPECT_EQ(services.mutexes->OpenHandles(wizardtest::kMutexName), 1);

  const auto menu = SystemMenuOf(hostWindow);
  ASSERT_GE(menu.size(), 2u);
  EXPECT_TRUE(menu[menu.size() - 2].separator);
  EXPECT_EQ(menu.back(), (ui::SystemMenuItem{0x10, L"&About Brimvale...", false}));

  ASSERT_EQ(CurrentPage(), 0u);
  const auto page = PageWindow(0);
  EXPECT_TRUE(Driver::IsShown(page));
  EXPECT_FALSE(Driver::IsShown(PageWindow(1)));
  EXPECT_EQ(ControlText(page, ids::kNextButton), L"Next");
  EXPECT_EQ(ControlText(page, ids::kSplashText),
            L"To continue, please select your preferred language, and click \"Next\".");
  const auto combo = Driver::ControlOf(page, ids::kLanguageCombo);
  EXPECT_EQ(combo->items.size(), 14u);
  EXPECT_EQ(combo->selection, 0);
  // The page lies exactly on the host's page area.
  EXPECT_EQ(Driver::Window(page)->rect, Driver::ControlOf(hostWindow, ids::kPageArea)->rect);
  EXPECT_FALSE(Driver::Window(Driver::FindDialog(ids::kErrorPage)->handle)->IsVisible());
}

// Both bottom bands are painted in the accent colour with transparent text; other controls in the background colour.
TEST_F(WizardTest, BandsArePaintedInTheAccentColour) {
  Start("DLM");
  const ui::CtlColor accent{.background = 0x00BD7702, .transparentText = true};
  EXPECT_EQ(driver.BackgroundOf(HostWindow(), ids::kHostBand), accent);
  EXPECT_EQ(driver.BackgroundOf(PageWindow(0), ids::kPageBand), accent);
  EXPECT_EQ(driver.BackgroundOf(PageWindow(0), ids::kSplashText), (ui::CtlColor{.background = 0x00FAFAFA}));
  EXPECT_EQ(driver.BackgroundOf(HostWindow(), 0), (ui::CtlColor{.background = 0x00FAFAFA}));
}

// A vendor wizard is titled with the product and a blank and has no header image or line.
TEST_F(WizardTest, VendorWizardHasNoHeader) {
  Start("ISV");
  const auto hostWindow = HostWindow();
  EXPECT_EQ(Driver::Window(hostWindow)->title, L"Quenbril ");
  EXPECT_FALSE(ControlVisible(hostWindow, ids::kHeaderImage));
  EXPECT_FALSE(ControlVisible(hostWindow, ids::kHeaderLine));
  EXPECT_EQ(Driver::ControlOf(PageWindow(0), ids::kLanguageCombo)->items.size(), 2u);
}

// While another wizard holds the mutex the host says so and ends with 1 before creating any page.
TEST_F(WizardTest, SecondWizardIsRefused) {
  platform::Win32Error error = 0;
  const auto firstWizard = services.mutexes->CreateOwned(wizardtest::kMutexName, error);
  Start("DLM");
  const auto box = AnswerBox(platform::kIdOk);
  EXPECT_EQ(box.text, L"Another setup is already running, please close it and try again");
  EXPECT_EQ(box.title, L"Error");
  EXPECT_EQ(box.style & 0xFFFF, 0x1010u);
  ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_EQ(result.get(), 1);
  EXPECT_EQ(host->PageCount(), 0u);
  EXPECT_EQ(services.mutexes->OpenHandles(wizardtest::kMutexName), 1);  // the first wizard's only
}

// Back from index 2 shows page 0; Next then returns to index 2 without a second first-start step.
TEST_F(WizardTest, PageFlowSkipsTheLoadingPageOnTheWayBack) {
  Start("DLM");
  AddPages([](const PageContext& context, ui::Dialog* parent) {
    std::vector<std::unique_ptr<IPage>> pages;
    pages.push_back(std::make_unique<TestPage>(context, ids::kLicensePage, parent, L"LicensePage"));
    pages.push_back(std::make_unique<TestPage>(context, ids::kWelcomePage, parent, L"WelcomePage"));
    pages.push_back(std::make_unique<FinishPageDlm>(context, parent));
    return pages;
  });
  ASSERT_TRUE(driver.PressEnter(PageWindow(0)));  // Enter presses Next
  EXPECT_EQ(CurrentPage(), 1u);
  // The first-start step made the main package.
  const std::shared_ptr<Package> mainPackage = configuration->mainPackage;
  ASSERT_TRUE(mainPackage);
  thread.Run([this] { host->OnPageButton(ButtonType::Next); });
  ASSERT_EQ(CurrentPage(), 2u);
  EXPECT_FALSE(Driver::IsShown(PageWindow(1)));

  ASSERT_TRUE(driver.Click(PageWindow(2), ids::kBackButton));
  EXPECT_EQ(CurrentPage(), 0u);
  EXPECT_TRUE(Driver::IsShown(PageWindow(0)));
  ASSERT_TRUE(driver.Click(PageWindow(0), ids::kNextButton));
  EXPECT_EQ(CurrentPage(), 2u);
  EXPECT_EQ(configuration->mainPackage, mainPackage);

  ASSERT_TRUE(driver.Click(PageWindow(2), ids::kAgreeButton));
  ASSERT_TRUE(driver.Click(PageWindow(3), ids::kNextButton));
  ASSERT_EQ(CurrentPage(), 4u);
  // Past the last page, and values that are no button, nothing changes.
  thread.Run([this] {
    host->OnPageButton(ButtonType::Next);
    host->OnPageButton(static_cast<ButtonType>(6));
  });
  EXPECT_EQ(CurrentPage(), 4u);
  EXPECT_TRUE(Driver::IsShown(PageWindow(4)));
  EXPECT_EQ(static_cast<TestPage*>(host->PageAt(2))->navigations, 2);

  // The finish page brings the Close item back and takes the minimise box.
  EXPECT_TRUE(HasCloseItem(HostWindow()));
  EXPECT_EQ(Driver::Window(HostWindow())->style & ui::kWsMinimizeBox, 0u);
  EXPECT_EQ(services.debugOutput->Lines(),
            (std::vector<std::wstring>{L"LoadingPage\n", L"LicensePage\n", L"LanguagePage\n", L"LicensePage\n",
                                       L"WelcomePage\n", L"FinishPageDLM\n"}));
}

// A download page takes Close out of the system menu, which disables the close box.
TEST_F(WizardTest, DownloadPageDisablesClosing) {
  Start("DLM");
  AddPages([](const PageContext& context, ui::Dialog* parent) {
    std::vector<std::unique_ptr<IPage>> pages;
    pages.push_back(std::make_unique<TestPage>(context, ids::kDownloadPageDlm, parent, L"DownloadPageDLM"));
    return pages;
  });
  thread.Run([this] { host->GoToPage(2); });
  EXPECT_FALSE(HasCloseItem(HostWindow()));
  EXPECT_FALSE(driver.Close(HostWindow()));
  EXPECT_FALSE(Ended());
}

// Closing asks MSG_EXIT on the first pages; Cancel keeps the page and the mutex, OK ends and cleans up.
TEST_F(WizardTest, ClosingAsksAndCancelKeepsTheWizard) {
  Start("DLM");
  const auto file = FillWorkFolder(configuration->workFolder);
  ASSERT_TRUE(driver.Close(HostWindow()));
  const auto question = AnswerBox(platform::kIdCancel);
  EXPECT_EQ(question.text, L"Are you sure you want to exit the installer?");
  EXPECT_EQ(question.title, L"");
  EXPECT_EQ(question.style & 0xFFFF, 0x21u);
  EXPECT_FALSE(Ended());
  EXPECT_TRUE(Driver::IsShown(PageWindow(0)));
  EXPECT_EQ(services.mutexes->OpenHandles(wizardtest::kMutexName), 1);

  // Escape closes the same way.
  ASSERT_TRUE(driver.SendCommand(HostWindow(), ui::kIdCancelCommand));
  AnswerBox(platform::kIdOk);
  ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_EQ(services.mutexes->OpenHandles(wizardtest::kMutexName), 0);
  EXPECT_TRUE(configuration->closeRequested);
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_FALSE(std::filesystem::exists(configuration->workFolder));
}

// No question on the last page of a complete sequence, nor on the error page.
TEST_F(WizardTest, NoQuestionOnTheLastPageOrTheErrorPage) {
  for (const bool errorPage : {false, true}) {
    Start("DLM");
    AddPages([](const PageContext& context, ui::Dialog* parent) {
      std::vector<std::unique_ptr<IPage>> pages;
      pages.push_back(std::make_unique<FinishPageDlm>(context, parent));
      return pages;
    });
    if (errorPage) {
      ASSERT_TRUE(driver.SendCommand(HostWindow(), ids::kShowErrorTestCommand));
    } else {
      thread.Run([this] { host->GoToPage(2); });
    }
    ASSERT_TRUE(driver.Close(HostWindow()));
    EXPECT_TRUE(Driver::MessageBoxes().empty()) << errorPage;
    ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    TearDown();
  }
}

// Command 1038 shows the error page over the current page; its Close ends at once and keeps the work folder.
TEST_F(WizardTest, ErrorPageCloseEndsWithoutCleaningUp) {
  Start("DLM");
  const auto file = FillWorkFolder(configuration->workFolder);
  ASSERT_TRUE(driver.SendCommand(HostWindow(), ids::kShowErrorTestCommand));
  const auto errorPage = Driver::FindDialog(ids::kErrorPage)->handle;
  EXPECT_TRUE(Driver::IsShown(errorPage));
  EXPECT_FALSE(Driver::IsShown(PageWindow(0)));
  EXPECT_EQ(ControlText(errorPage, ids::kErrorTitle), L"Error");
  EXPECT_EQ(ControlText(errorPage, ids::kErrorText), L"Error message");
  EXPECT_EQ(ControlText(errorPage, ids::kCloseButton), L"Close");
  EXPECT_TRUE(HasCloseItem(HostWindow()));
  EXPECT_EQ(CurrentPage(), 0u);

  // Shown again, it shows the new texts.
  thread.Run([this] { host->ShowErrorPage(L"Something went wrong", L"Please try to download later"); });
  EXPECT_EQ(ControlText(errorPage, ids::kErrorTitle), L"Something went wrong");

  ASSERT_TRUE(driver.Click(errorPage, ids::kCloseButton));
  ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_EQ(result.get(), 1);
  EXPECT_TRUE(Driver::MessageBoxes().empty());
  EXPECT_TRUE(std::filesystem::exists(file));
  EXPECT_FALSE(configuration->closeRequested);
}

// Choosing Español switches every page at once, the prompt's quoted caption included.
TEST_F(WizardTest, ChoosingSpanishSwitchesEveryPage) {
  Start("DLM");
  const auto page = PageWindow(0);
  ASSERT_TRUE(driver.Select(page, ids::kLanguageCombo, 1));
  EXPECT_EQ(ControlText(page, ids::kNextButton), L"SIGUIENTE");
  EXPECT_NE(ControlText(page, ids::kSplashText).find(L"\"SIGUIENTE\""), std::wstring::npos);
  const auto errorPage = Driver::FindDialog(ids::kErrorPage)->handle;
  EXPECT_EQ(ControlText(errorPage, ids::kCloseButton), L"CERRAR");
  EXPECT_EQ(configuration->languageDisplayName, L"español");
}

// A key the new language lacks keeps the old text; a destroyed page is no longer refreshed.
TEST_F(WizardTest, MissingKeysKeepTextsAndDestroyedPagesAreForgotten) {
  Start("ISV");
  AddPages([](const PageContext& context, ui::Dialog* parent) {
    std::vector<std::unique_ptr<IPage>> pages;
    pages.push_back(std::make_unique<TestPage>(context, ids::kLicensePage, parent, L"LicensePage",
                                               std::vector<std::pair<int, std::string>>{
                                                   {ids::kAgreeButton, "BUTTON_AGREE"}, {ids::kBackButton, "BUTTON_BACK"}}));
    return pages;
  });
  const auto licence = PageWindow(2);
  EXPECT_EQ(ControlText(licence, ids::kAgreeButton), L"Agree");
  ASSERT_TRUE(driver.Select(PageWindow(0), ids::kLanguageCombo, 1));
  EXPECT_EQ(ControlText(licence, ids::kAgreeButton), L"Agree");
  EXPECT_EQ(ControlText(PageWindow(0), ids::kNextButton), L"SIGUIENTE");

  const std::size_t registered = thread.Run([this] {
    auto page = std::make_unique<TestPage>(host->pageContext, ids::kWelcomePage, host.get(), L"Extra");
    page->Create(host.get());
    page.reset();
    host->GetLanguageManager()->SetLanguage(L"English");
    return host->GetLanguageManager()->pages.size();
  });
  EXPECT_EQ(registered, 4u);  // error, language, loading and licence pages
}

// The About item shows the version line of the file version.
TEST_F(WizardTest, AboutBoxShowsTheVersion) {
  Start("DLM");
  ASSERT_TRUE(driver.SystemCommand(HostWindow(), 0x10));
  const auto about = Driver::FindDialog(ids::kAboutBox);
  ASSERT_TRUE(about);
  EXPECT_EQ(about->title, L"About Brimvale");
  EXPECT_EQ(ControlText(about->handle, ids::kAboutVersion), L"Brimvale, Version 3.0.13.11135");
  EXPECT_FALSE(Driver::Window(HostWindow())->IsEnabled());
  ASSERT_TRUE(driver.Click(about->handle, 1));
  EXPECT_FALSE(Driver::Window(about->handle));
  EXPECT_TRUE(Driver::Window(HostWindow())->IsEnabled());
  EXPECT_FALSE(Ended());
}

// Minimising keeps the application icon for the minimised window.
TEST_F(WizardTest, MinimisedWindowShowsTheIcon) {
  Start("DLM");
  ASSERT_TRUE(driver.SystemCommand(HostWindow(), ui::kScMinimize));
  const auto window = Driver::Window(HostWindow());
  EXPECT_TRUE(window->style & ui::kWsMinimize);
  EXPECT_EQ(window->iconId, 128);
}

// The download-manager finish page opens the product, or shows it selected in Explorer, then ends and cleans up.
TEST_F(WizardTest, DownloadManagerFinishOpensOrShowsTheProduct) {
  const std::wstring path = L"C:\\Users\\me\\Downloads\\Tool Setup.exe";
  for (const bool openFolder : {false, true}) {
    Start("DLM");
    configuration->downloadedFilePath = path;
    const auto file = FillWorkFolder(configuration->workFolder);
    AddPages([](const PageContext& context, ui::Dialog* parent) {
      std::vector<std::unique_ptr<IPage>> pages;
      pages.push_back(std::make_unique<FinishPageDlm>(context, parent));
      return pages;
    });
    thread.Run([this] { host->GoToPage(2); });
    const auto page = PageWindow(2);
    EXPECT_EQ(Driver::ControlOf(page, ids::kLaunchRadio)->check, ui::kBstChecked);
    EXPECT_EQ(ControlText(page, ids::kOpenFolderRadio), L"Open Folder");
    if (openFolder) {
      ASSERT_TRUE(driver.Click(page, ids::kOpenFolderRadio));
    }
    EXPECT_EQ(Driver::ControlOf(page, ids::kLaunchRadio)->check, openFolder ? ui::kBstUnchecked : ui::kBstChecked);
    ASSERT_TRUE(driver.Click(page, ids::kFinishButton));
    ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(result.get(), 1);
    EXPECT_FALSE(std::filesystem::exists(file));
    TearDown();
  }
  const auto requests = services.shell->Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0], (platform::ShellRequest{L"open", path, L"", L"", platform::kSwShowDefault}));
  EXPECT_EQ(requests[1], (platform::ShellRequest{L"open", L"explorer.exe", L"/select,\"" + path + L"\"", L"",
                                                 platform::kSwShowDefault}));
}

// The vendor finish page starts the configured program with its folder tokens expanded, and nothing when none is set.
TEST_F(WizardTest, VendorFinishStartsTheConfiguredProgram) {
  services.knownFolders->folders[platform::KnownFolder::LocalAppData] = L"C:\\Users\\me\\AppData\\Local";
  for (const std::wstring launchFile : {L"", L"{localappdata}\\Tool\\tool.exe"}) {
    Start("ISV");
    configuration->launchFile = launchFile;
    configuration->launchParameters = L"--first-run";
    AddPages([](const PageContext& context, ui::Dialog* parent) {
      std::vector<std::unique_ptr<IPage>> pages;
      pages.push_back(std::make_unique<FinishPageIsv>(context, parent));
      return pages;
    });
    thread.Run([this] { host->GoToPage(2); });
    EXPECT_EQ(ControlText(PageWindow(2), ids::kLaunchCheckBox), L"Launch the application on exit");
    ASSERT_TRUE(driver.Click(PageWindow(2), ids::kFinishButton));
    ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    TearDown();
  }
  EXPECT_EQ(services.shell->Requests(),
            (std::vector<platform::ShellRequest>{{L"open", L"C:\\Users\\me\\AppData\\Local\\Tool\\tool.exe",
                                                  L"--first-run", L"", platform::kSwShowDefault}}));
}

// The host drops the pictures the configuration still holds before it goes: GDI+ ends after the host.
TEST_F(WizardTest, HostDropsThePicturesOfTheConfiguration) {
  Start("DLM");
  const auto picture = ui::DecodeImage(fakes::ThreeByTwoPng());
  const auto accepted = std::make_shared<Package>(EventTemplate{}, false, L"", L"", L"", L"", 0, configuration);
  const auto shown = std::make_shared<Package>(EventTemplate{}, false, L"", L"", L"", L"", 1, configuration);
  accepted->image = shown->image = configuration->productIcon = picture;
  configuration->acceptedPackages = {accepted};
  configuration->shownPackages = {accepted, shown};
  CloseConfirmed();
  thread.Run([this] { host.reset(); });
  EXPECT_EQ(picture.use_count(), 1);
  EXPECT_EQ(accepted->image, nullptr);
  EXPECT_EQ(shown->image, nullptr);
  EXPECT_EQ(configuration->productIcon, nullptr);
}

}  // namespace
