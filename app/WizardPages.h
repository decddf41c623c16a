// The wizard's pages as the program assembles them: every page class, made
// with the services it works with (the API manager for the loading page,
// the download manager for the pages that fetch files and pictures).
//
// An executable is built for one kind of wizard, and its built-in settings
// decide which pages it can ever show. Its factory is made for that set of
// pages: the creators of the others answer no page, so their classes are
// never referenced and the linker leaves them out of the executable. Tests
// use WizardPages, which makes every page.
#pragma once

#include <memory>

#include "config/ApiManager.h"
#include "install/DownloadManager.h"
#include "install/DownloadPageDlm.h"
#include "install/DownloadPageIsv.h"
#include "pages/ConfigurationsPageBTClassic.h"
#include "pages/ErrorPage.h"
#include "pages/FinishPageDlm.h"
#include "pages/FinishPageIsv.h"
#include "pages/LanguagePage.h"
#include "pages/LicensePageIsv.h"
#include "pages/LoadingPage.h"
#include "pages/OptionsPageBTClassic.h"
#include "pages/ProductPage.h"
#include "pages/WarningPageBTClassic.h"
#include "pages/WelcomePageIsv.h"
#include "shell/PageFactory.h"

// The pages beyond those every wizard shows (error, loading, product pages).
struct PageSet {
  bool languagePage = true;
  bool languagePageBT = true;
  bool warningPage = true;       // BT classic with its warning
  bool licensePage = true;       // BT classic
  bool welcomePage = true;       // without BT classic
  bool optionPages = true;       // options and configurations, with the BT warning
  bool downloadManagerPages = true;
  bool vendorInstallerPages = true;
};

inline constexpr PageSet kEveryPage{};

// The pages a wizard of this kind and these BT settings shows, as the host
// appends them.
constexpr PageSet PagesOfWizard(bool downloadManager, bool btClassic, bool btWarning) {
  return {.languagePage = !btClassic,
          .languagePageBT = btClassic,
          .warningPage = btClassic && btWarning,
          .licensePage = btClassic,
          .welcomePage = !btClassic,
          .optionPages = btWarning,
          .downloadManagerPages = downloadManager,
          .vendorInstallerPages = !downloadManager};
}

template <PageSet kPages>
class WizardPagesOf : public PageFactory {
 public:
  WizardPagesOf(std::shared_ptr<ApiManager> api, std::shared_ptr<DownloadManager> downloads)
      : api(std::move(api)), downloads(std::move(downloads)) {}

  std::unique_ptr<IErrorPage> CreateErrorPage(const PageContext& context, ui::Dialog* host) override {
    return std::make_unique<ErrorPage>(context, host);
  }
  std::unique_ptr<IPage> CreateLanguagePage(const PageContext& context, ui::Dialog* host) override {
    if constexpr (kPages.languagePage) return std::make_unique<LanguagePage>(context, host);
    return nullptr;
  }
  std::unique_ptr<IPage> CreateLanguagePageBT(const PageContext& context, ui::Dialog* host) override {
    if constexpr (kPages.languagePageBT) return std::make_unique<LanguagePageBT>(context, host);
    return nullptr;
  }
  std::unique_ptr<IPage> CreateLoadingPage(const PageContext& context, ui::Dialog* host,
                                           LoadCompletion completionCallback) override {
    return std::make_unique<LoadingPage>(context, host, api, downloads, std::move(completionCallback));
  }
  std::unique_ptr<IPage> CreateWarningPageBTClassic(const PageContext& context, ui::Dialog* host) override {
    if constexpr (kPages.warningPage) return std::make_unique<WarningPageBTClassic>(context, host);
    return nullptr;
  }
  std::unique_ptr<IPage> CreateLicensePageIsv(const PageContext& context, ui::Dialog* host) override {
    if constexpr (kPages.licensePage) return std::make_unique<LicensePageIsv>(context, host);
    return nullptr;
  }
  std::unique_ptr<IPage> CreateWelcomePageIsv(const PageContext& context, ui::Dialog* host) override {
    if constexpr (kPages.welcomePage) return std::make_unique<WelcomePageIsv>(context, host);
    return nullptr;
  }
  std::unique_ptr<IPage> CreateProductPage(const PageContext& context, ui::Dialog* host,
                                           std::shared_ptr<Package> package) override {
    return std::make_unique<ProductPage>(context, std::move(package), host);
  }
  std::unique_ptr<IPage> CreateOptionsPageBTClassic(const PageContext& context, ui::Dialog* host) override {
    if constexpr (kPages.optionPages) return std::make_unique<OptionsPageBTClassic>(context, host);
    return nullptr;
  }
  std::unique_ptr<IPage> CreateConfigurationsPageBTClassic(const PageContext& context, ui::Dialog* host) override {
    if constexpr (kPages.optionPages) return std::make_unique<ConfigurationsPageBTClassic>(context, host);
    return nullptr;
  }
  std::unique_ptr<IPage> CreateDownloadPageDlm(const PageContext& context, ui::Dialog* host) override {
    if constexpr (kPages.downloadManagerPages) return std::make_unique<DownloadPageDlm>(context, host, downloads);
    return nullptr;
  }
  std::unique_ptr<IPage> CreateDownloadPageIsv(const PageContext& context, ui::Dialog* host,
                                               InstallNotifications notifications) override {
    if constexpr (kPages.vendorInstallerPages)
      return std::make_unique<DownloadPageIsv>(context, host, downloads, std::move(notifications));
    return nullptr;
  }
  std::unique_ptr<IPage> CreateFinishPageDlm(const PageContext& context, ui::Dialog* host) override {
    if constexpr (kPages.downloadManagerPages) return std::make_unique<FinishPageDlm>(context, host);
    return nullptr;
  }
  std::unique_ptr<IPage> CreateFinishPageIsv(const PageContext& context, ui::Dialog* host) override {
    if constexpr (kPages.vendorInstallerPages) return std::make_unique<FinishPageIsv>(context, host);
    return nullptr;
  }

 protected:
  std::shared_ptr<ApiManager> api;
  std::shared_ptr<DownloadManager> downloads;
};

// Every page: the factory of the tests, whatever kind they run.
using WizardPages = WizardPagesOf<kEveryPage>;
