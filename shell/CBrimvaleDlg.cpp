#include "shell/CBrimvaleDlg.h"

#include <algorithm>

#include "config/ConfigurationManager.h"
#include "locale/LanguageManager.h"
#include "packages/Package.h"
#include "resources/DialogIds.h"
#include "resources/Resource.h"
#include "shell/CAboutDlg.h"
#include "telemetry/EventProtocol.h"
#include "telemetry/EventTemplate.h"
#include "ui/StringTable.h"
#include "ui/WindowStyles.h"
#include "util/Utf8.h"

namespace {

constexpr std::uint32_t kAboutCommand = 0x10;
constexpr std::uint32_t kErrorBoxStyle = platform::kMbIconError | platform::kMbSystemModal;

}  // namespace

CBrimvaleDlg::CBrimvaleDlg(WizardContext context)
    : ui::Dialog(ids::kHost),
      configuration(context.configuration),
      pages(std::move(context.pages)),
      cancelDownloads(std::move(context.cancelDownloads)),
      appIcon(IDR_MAINFRAME),
      languageManager(std::make_shared<LanguageManager>(context.configuration)),
      accentBrush{.background = context.configuration->accentColor, .transparentText = true} {
  pageContext = {languageManager, configuration};
}

CBrimvaleDlg::~CBrimvaleDlg() {
  // The pages go first: the loading page waits for pictures still on their
  // way, which would otherwise land on the fields reset below.
  wizardPages.clear();
  errorPage.reset();
  configuration->productIcon.reset();
  for (const auto& package : configuration->acceptedPackages) {
    if (package) package->image.reset();
  }
  for (const auto& package : configuration->shownPackages) {
    if (package) package->image.reset();
  }
}

bool CBrimvaleDlg::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  titleStatic = Item(ids::kHeaderTitle);
  productImage.Attach(Item(ids::kHeaderImage));
  headerLine = Item(ids::kHeaderLine);
  bottomBand = Item(ids::kHostBand);

  if (ui::SystemMenu menu = GetSystemMenu(); menu.Exists()) {
    const std::wstring about = ui::LoadResourceString(IDS_ABOUTBOX);
    if (!about.empty()) {
      menu.AppendSeparator();
      menu.AppendItem(kAboutCommand, about);
    }
  }
  SetIcon(appIcon);

  // One wizard at a time across all sessions of the machine. A mutex that
  // cannot be created at all is no reason to refuse: the wizard runs unguarded.
  const std::wstring mutexName = L"Global\\Brimvale" + Utf8ToWide(configuration->wizardKey) + L"SingleInstanceMutex";
  platform::Win32Error lastError = platform::kErrorSuccess;
  instanceMutex = configuration->Services().mutexes->CreateOwned(mutexName, lastError);
  if (instanceMutex && lastError == platform::kErrorAlreadyExists) {
    instanceMutex.reset();
    ShowMessageBox(L"Another setup is already running, please close it and try again", L"Error", kErrorBoxStyle);
    EndDialog(1);
    return false;
  }

  switch (configuration->wizardType) {
    case DLM: SetTitle(L"Setup"); break;
    case ISV: SetTitle(configuration->productTitle + L" "); break;
    default:
      ShowMessageBox(L"Invalid wizard type", L"Error", kErrorBoxStyle);
      EndDialog(1);
      return false;
  }

  titleStatic.SetText(configuration->productTitle);
  CreateInitialPages();
  if (configuration->wizardType == ISV) {
    Item(ids::kHeaderImage).Show(false);
    headerLine.Show(false);
  }
  titleStatic.Show(false);
  return true;
}

ui::Rect CBrimvaleDlg::PageArea() { return Item(ids::kPageArea).WindowRect(); }

void CBrimvaleDlg::CreatePage(IPage& page, const ui::Rect& area) {
  page.Create(this);
  page.SetBackgroundColor(configuration->backgroundColor);
  page.SetButtonCallback([this](ButtonType type) { OnPageButton(type); });
  page.Show(false);
  page.MoveTo(area);
}

void CBrimvaleDlg::CreateAndAddPage(std::unique_ptr<IPage> page, const ui::Rect& area) {
  CreatePage(*page, area);
  page->SetErrorCallback([this](const std::wstring& title, const std::wstring& text) { ShowErrorPage(title, text); });
  wizardPages.push_back(std::move(page));
}

bool CBrimvaleDlg::CreateInitialPages() {
  const ui::Rect area = PageArea();
  errorPage = pages->CreateErrorPage(pageContext, this);
  CreatePage(*errorPage, area);
  if (configuration->btClassic) {
    CreateAndAddPage(pages->CreateLanguagePageBT(pageContext, this), area);
  } else {
    CreateAndAddPage(pages->CreateLanguagePage(pageContext, this), area);
  }
  // May run on any thread: it only hands the offers over and posts.
  auto completion = [mailbox = loadedOffers, window = Handle()](std::vector<std::shared_ptr<Package>> offers) {
    {
      std::lock_guard lock(mailbox->mutex);
      mailbox->offers = std::move(offers);
    }
    ui::PostWindowMessage(window, ui::WM_WIZARD_LOAD_COMPLETE, 0, 0);
  };
  if (auto loadingPage = pages->CreateLoadingPage(pageContext, this, completion))
    CreateAndAddPage(std::move(loadingPage), area);

  currentPage = 0;
  initialPageCount = wizardPages.size();
  if (wizardPages.empty()) return false;
  wizardPages[0]->Show(true);
  wizardPages[0]->SetFocus();
  return true;
}

void CBrimvaleDlg::OnPageButton(ButtonType type) {
  unsigned target = 0;
  switch (type) {
    case ButtonType::Next:
      if (currentPage == 0 && returnedToFirstPage) {
        target = 2;  // the loading page is not shown again
      } else if (currentPage == 0) {
        RunFirstStartStep();
        target = 1;
      } else {
        target = currentPage + 1;
      }
      break;
    case ButtonType::Accept:
    case ButtonType::Decline:
      target = currentPage + 1;
      break;
    case ButtonType::Finish:
      DeleteWorkFolder();
      EndDialog(1);
      return;
    case ButtonType::Close:
      EndDialog(1);
      return;
    case ButtonType::Back:
      returnedToFirstPage = true;
      target = currentPage == 2 ? 0 : currentPage - 1;
      break;
    default:
      return;  // not a button of ours
  }
  GoToPage(target);
}

void CBrimvaleDlg::GoToPage(unsigned index) {
  if (index >= wizardPages.size()) return;
  IPage& page = *wizardPages[index];
  page.Show(true);
  page.SetFocus();
  if (currentPage < wizardPages.size() && currentPage != index) wizardPages[currentPage]->Show(false);
  currentPage = index;
  page.OnNavigateToPage();

  const std::wstring name = page.GetPageName();
  if (name == L"DownloadPageDLM" || name == L"DownloadPageISV") {
    // No closing while files arrive: this also disables the close box.
    GetSystemMenu().RemoveCommand(ui::kScClose);
  } else if (name == L"FinishPageDLM" || name == L"FinishPageISV") {
    GetSystemMenu().AppendItem(ui::kScClose, L"Close");
  }
  configuration->Services().debugOutput->Write(name + L"\n");
}

void CBrimvaleDlg::ShowErrorPage(const std::wstring& title, const std::wstring& text) {
  if (currentPage < wizardPages.size()) wizardPages[currentPage]->Show(false);
  errorPage->ShowTexts(title, text);
  errorPage->Show(true);
  errorPage->SetFocus();
  errorShown = true;
  GetSystemMenu().AppendItem(ui::kScClose, L"Close");
}

void CBrimvaleDlg::OnCommand(int controlId, int notifyCode) {
  switch (controlId) {
    case ids::kShowErrorTestCommand: ShowErrorPage(L"Error", L"Error message"); break;
    // Escape closes the wizard the way the close box does, with its question.
    case ui::kIdCancelCommand: OnClose(); break;
    // Enter that no page took ends nothing.
    case ui::kIdOkCommand: break;
    default: ui::Dialog::OnCommand(controlId, notifyCode); break;
  }
}

bool CBrimvaleDlg::OnMessage(std::uint32_t message, std::uintptr_t, std::intptr_t, std::intptr_t& result) {
  if (message != ui::WM_WIZARD_LOAD_COMPLETE) return false;
  OnLoadCompleteMessage();
  result = 0;
  return true;
}

void CBrimvaleDlg::OnClose() {
  // No question on the error page or on the last page of a complete
  // sequence; every other page asks, the loading page included. Until the
  // load completes the sequence holds only the initial pages.
  const bool complete = wizardPages.size() > initialPageCount;
  const bool ask = !errorShown && (currentPage + 1 < wizardPages.size() || !complete);
  if (ask) {
    const std::wstring question = languageManager->GetText(downloadInProgress ? "PROGRESS_QUIT" : "MSG_EXIT");
    if (ShowMessageBox(question, L"", platform::kMbOkCancel | platform::kMbIconQuestion) != platform::kIdOk) return;
  }
  instanceMutex.reset();
  Show(false);
  RunClosingNotifications();
  DeleteWorkFolder();
  ui::Dialog::OnClose();
}

bool CBrimvaleDlg::OnSysCommand(std::uint32_t command) {
  if ((command & 0xFFF0) != kAboutCommand) return false;
  CAboutDlg about(configuration->programVersion);
  about.DoModal(this);
  return true;
}

std::optional<ui::CtlColor> CBrimvaleDlg::OnCtlColor(int controlId) {
  if (controlId == ids::kHostBand) return accentBrush;
  return ui::Dialog::OnCtlColor(controlId);
}

void CBrimvaleDlg::RunFirstStartStep() {
  // The download wizard's answer has not arrived yet: its texts stay empty
  // until load completion refreshes the package.
  const bool vendor = configuration->wizardType == ISV;
  configuration->mainPackage = std::make_shared<Package>(
      BuildEventTemplate(*configuration), true, vendor ? configuration->installerId : L"",
      vendor ? configuration->productCfl : L"", vendor ? configuration->productTitle : L"",
      vendor ? configuration->productCh : L"", 0, configuration);
  configuration->mainPackage->SendEvent(events::kStarted);
}

void CBrimvaleDlg::RunClosingNotifications() {
  configuration->closeRequested = true;
  if (cancelDownloads) cancelDownloads();
  // The offers' reports go out together and are all waited for, so closing
  // takes one round trip rather than one per offer; the main package's comes
  // last. An offer shown twice reports once, as it would one after the other.
  std::vector<std::shared_ptr<Package>> shown;
  for (const std::shared_ptr<Package>& package : configuration->shownPackages)
    if (std::find(shown.begin(), shown.end(), package) == shown.end()) shown.push_back(package);
  for (const std::shared_ptr<Package>& package : shown) package->SendEvent(events::kClosing);
  for (const std::shared_ptr<Package>& package : shown) package->WaitForEvents();
  if (const std::shared_ptr<Package> main = configuration->mainPackage) {
    main->SendEvent(events::kClosing);
    main->WaitForEvents();
  }
}

void CBrimvaleDlg::OnLoadCompleteMessage() {
  {
    std::lock_guard lock(loadedOffers->mutex);
    loadedPackages = std::move(loadedOffers->offers);
  }
  // The texts again, now that the product title is known.
  languageManager->SetLanguage(configuration->languageDisplayName);
  if (configuration->wizardType == DLM) {
    productImage.SetImage(configuration->productIcon);
    Item(ids::kHeaderImage).Show(true);
    titleStatic.SetText(configuration->productTitle);
    titleStatic.Show(true);
    SetTitle(configuration->productTitle + L" Setup");
  }
  if (const std::shared_ptr<Package> main = configuration->mainPackage) {
    const std::wstring name = configuration->wizardType == DLM ? configuration->productTitle
                                                               : configuration->installerId;
    main->ResetMainProduct(BuildEventTemplate(*configuration), name, configuration->productCfl,
                           configuration->productTitle, configuration->productCh);
  }
  AppendRemainingPages();
  OnPageButton(ButtonType::Next);
}

void CBrimvaleDlg::AppendRemainingPages() {
  const ui::Rect area = PageArea();
  const bool bt = configuration->btClassic;
  const bool warning = configuration->btWarning;
  if (bt && warning) AddPage(pages->CreateWarningPageBTClassic(pageContext, this), area);
  if (bt) {
    AddPage(pages->CreateLicensePageIsv(pageContext, this), area);
  } else {
    AddPage(pages->CreateWelcomePageIsv(pageContext, this), area);
  }
  for (const std::shared_ptr<Package>& offer : loadedPackages)
    AddPage(pages->CreateProductPage(pageContext, this, offer), area);
  if (warning) {
    AddPage(pages->CreateOptionsPageBTClassic(pageContext, this), area);
    AddPage(pages->CreateConfigurationsPageBTClassic(pageContext, this), area);
  }
  if (configuration->wizardType == DLM) {
    AddPage(pages->CreateDownloadPageDlm(pageContext, this), area);
    AddPage(pages->CreateFinishPageDlm(pageContext, this), area);
  } else {
    // While the vendor installers run, closing asks the install question.
    PageFactory::InstallNotifications notifications{.started = [this] { downloadInProgress = true; },
                                                    .finished = [this] { downloadInProgress = false; }};
    AddPage(pages->CreateDownloadPageIsv(pageContext, this, std::move(notifications)), area);
    AddPage(pages->CreateFinishPageIsv(pageContext, this), area);
  }
}

void CBrimvaleDlg::AddPage(std::unique_ptr<IPage> page, const ui::Rect& area) {
  if (page) CreateAndAddPage(std::move(page), area);
}

void CBrimvaleDlg::DeleteWorkFolder() {
  const std::wstring path = configuration->workFolder;
  if (path.empty()) return;
  DeleteFolderRecursive(path);
  // The recursion leaves an empty folder in place; the wizard's own folder
  // goes too, or every run would leave one behind.
  platform::FileSystem& files = *configuration->Services().files;
  if (files.Exists(path) && files.IsDirectoryEmpty(path)) files.RemoveEmptyDirectory(path);
}

void CBrimvaleDlg::DeleteFolderRecursive(const std::wstring& path) {
  platform::FileSystem& files = *configuration->Services().files;
  if (!files.Exists(path) || files.IsDirectoryEmpty(path)) return;

  std::vector<platform::DirectoryEntry> entries;
  files.ListDirectory(path, entries);
  for (const platform::DirectoryEntry& entry : entries) {
    const std::wstring full = path + L"\\" + entry.name;
    if (entry.isLink) {
      // Removed as a link: its target, wherever it points, is left alone.
      const platform::Win32Error error = entry.isDirectory ? files.RemoveEmptyDirectory(full) : files.RemoveFile(full);
      if (error != platform::kErrorSuccess) files.DeleteAtRestart(full);
      continue;
    }
    if (!entry.isDirectory) {
      const platform::Win32Error error = files.RemoveFile(full);
      if (error == platform::kErrorAccessDenied || error == platform::kErrorSharingViolation)
        files.DeleteAtRestart(full);
      continue;
    }
    // A subfolder with contents removes itself or leaves itself to the
    // restart; an empty one, which it would leave in place, goes here.
    if (!files.IsDirectoryEmpty(full)) {
      DeleteFolderRecursive(full);
      continue;
    }
    const platform::Win32Error error = files.RemoveEmptyDirectory(full);
    if (error != platform::kErrorSuccess && error != platform::kErrorAccessDenied &&
        error != platform::kErrorSharingViolation)
      files.DeleteAtRestart(full);
  }
  if (files.RemoveEmptyDirectory(path) != platform::kErrorSuccess) files.DeleteAtRestart(path);
}
