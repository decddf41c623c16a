// The wizard's one top-level window. It keeps a second wizard out, shows a
// small header and stacks the pages on its page area, one visible at a
// time. Pages move the wizard only through their button callback; the host
// turns each button into another page, the end of the wizard or the error
// page, asks before the window is closed, and deletes the work folder at
// the end.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/NamedMutexes.h"
#include "shell/CStaticFromImage.h"
#include "shell/IErrorPage.h"
#include "shell/IPage.h"
#include "shell/PageFactory.h"
#include "shell/WizardContext.h"
#include "ui/Dialog.h"

class LanguageManager;
class Package;

class CBrimvaleDlg : public ui::Dialog {
 public:
  explicit CBrimvaleDlg(WizardContext context);
  // Drops the pictures the configuration still holds first: the
  // configuration outlives the host, GDI+ does not.
  ~CBrimvaleDlg() override;

  // The error page, then the language page and the loading page; page 0
  // shown. False when no page could be added.
  bool CreateInitialPages();
  // Creates the page's window on the host, hidden on the page area, with
  // the host's background and button callback.
  void CreatePage(IPage& page, const ui::Rect& area);
  // CreatePage, the error callback, and the page joins the sequence.
  void CreateAndAddPage(std::unique_ptr<IPage> page, const ui::Rect& area);
  // The page area: the rectangle of the host's grey frame.
  ui::Rect PageArea();

  // What each page's button does: the page flow.
  void OnPageButton(ButtonType type);
  // Shows page `index` (ignored beyond the last page) and tells it so.
  void GoToPage(unsigned index);
  // Shows the error page with these texts over the current page.
  void ShowErrorPage(const std::wstring& title, const std::wstring& text);

  // Deletes the configuration's work folder: its contents as
  // DeleteFolderRecursive does, and the folder itself once it is empty.
  void DeleteWorkFolder();
  // Deletes the folder's contents and the folder; what cannot be deleted now
  // is left to the system's deletion at the next restart. A link inside is
  // removed as a link, never followed. An empty folder is left in place.
  void DeleteFolderRecursive(const std::wstring& path);

  unsigned CurrentPageIndex() const { return currentPage; }
  std::size_t PageCount() const { return wizardPages.size(); }
  IPage* PageAt(std::size_t index) const { return index < wizardPages.size() ? wizardPages[index].get() : nullptr; }
  const std::shared_ptr<LanguageManager>& GetLanguageManager() const { return languageManager; }

 protected:
  bool OnInitDialog() override;
  void OnCommand(int controlId, int notifyCode) override;
  bool OnMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam, std::intptr_t& result) override;
  void OnClose() override;
  bool OnSysCommand(std::uint32_t command) override;
  std::optional<ui::CtlColor> OnCtlColor(int controlId) override;

  PageContext pageContext;

 private:
  // Where the loading page leaves the accepted offers, on whichever thread
  // its last picture arrived; the window thread takes them with
  // WM_WIZARD_LOAD_COMPLETE. Shared, so a late picture never writes into a
  // host that is gone.
  struct LoadedOffers {
    std::mutex mutex;
    std::vector<std::shared_ptr<Package>> offers;
  };

  // The first Next on page 0: the main package, and its event 1.
  void RunFirstStartStep();
  // Closing: the work in progress cancelled, then the final event of every
  // shown offer (sent together, all waited for), then the main package's.
  void RunClosingNotifications();
  // WM_WIZARD_LOAD_COMPLETE: texts and header for the product, the main
  // package refreshed, the remaining pages appended, and on to page 2.
  void OnLoadCompleteMessage();
  // The pages after the loading page, in sequence order.
  void AppendRemainingPages();
  // CreateAndAddPage for a page the factory could make.
  void AddPage(std::unique_ptr<IPage> page, const ui::Rect& area);

  std::shared_ptr<ConfigurationManager> configuration;
  std::shared_ptr<PageFactory> pages;
  std::function<void()> cancelDownloads;

  int appIcon;
  std::vector<std::unique_ptr<IPage>> wizardPages;
  unsigned currentPage = 0;
  std::unique_ptr<IErrorPage> errorPage;
  std::shared_ptr<LanguageManager> languageManager;
  bool errorShown = false;
  bool downloadInProgress = false;
  bool returnedToFirstPage = false;
  ui::Control titleStatic;
  CStaticFromImage productImage;
  ui::Control headerLine;
  ui::CtlColor accentBrush;
  ui::Control bottomBand;
  std::vector<std::shared_ptr<Package>> loadedPackages;
  std::shared_ptr<LoadedOffers> loadedOffers = std::make_shared<LoadedOffers>();
  std::unique_ptr<platform::NamedMutex> instanceMutex;
  std::size_t initialPageCount = 0;  // the pages CreateInitialPages added
};
