#include "app/WizardPages.h"

#include "config/ApiManager.h"
#include "install/DownloadManager.h"
#include "pages/ErrorPage.h"
#include "pages/FinishPageDlm.h"
#include "pages/FinishPageIsv.h"
#include "pages/LanguagePage.h"

WizardPages::WizardPages(std::shared_ptr<ApiManager> api, std::shared_ptr<DownloadManager> downloads)
    : api(std::move(api)), downloads(std::move(downloads)) {}

std::unique_ptr<IErrorPage> WizardPages::CreateErrorPage(const PageContext& context, ui::Dialog* host) {
  return std::make_unique<ErrorPage>(context, host);
}

std::unique_ptr<IPage> WizardPages::CreateLanguagePage(const PageContext& context, ui::Dialog* host) {
  return std::make_unique<LanguagePage>(context, host);
}

std::unique_ptr<IPage> WizardPages::CreateLanguagePageBT(const PageContext& context, ui::Dialog* host) {
  return std::make_unique<LanguagePageBT>(context, host);
}

// Not built yet: the loading page.
std::unique_ptr<IPage> WizardPages::CreateLoadingPage(const PageContext&, ui::Dialog*, LoadCompletion) {
  return nullptr;
}

// Not built yet: the BT classic pages.
std::unique_ptr<IPage> WizardPages::CreateWarningPageBTClassic(const PageContext&, ui::Dialog*) { return nullptr; }

// Not built yet: the licence page.
std::unique_ptr<IPage> WizardPages::CreateLicensePageIsv(const PageContext&, ui::Dialog*) { return nullptr; }

// Not built yet: the welcome page.
std::unique_ptr<IPage> WizardPages::CreateWelcomePageIsv(const PageContext&, ui::Dialog*) { return nullptr; }

// Not built yet: the product page.
std::unique_ptr<IPage> WizardPages::CreateProductPage(const PageContext&, ui::Dialog*, std::shared_ptr<Package>) {
  return nullptr;
}

// Not built yet: the BT classic pages.
std::unique_ptr<IPage> WizardPages::CreateOptionsPageBTClassic(const PageContext&, ui::Dialog*) { return nullptr; }

std::unique_ptr<IPage> WizardPages::CreateConfigurationsPageBTClassic(const PageContext&, ui::Dialog*) {
  return nullptr;
}

// Not built yet: the download pages.
std::unique_ptr<IPage> WizardPages::CreateDownloadPageDlm(const PageContext&, ui::Dialog*) { return nullptr; }

std::unique_ptr<IPage> WizardPages::CreateDownloadPageIsv(const PageContext&, ui::Dialog*, InstallNotifications) {
  return nullptr;
}

std::unique_ptr<IPage> WizardPages::CreateFinishPageDlm(const PageContext& context, ui::Dialog* host) {
  return std::make_unique<FinishPageDlm>(context, host);
}

std::unique_ptr<IPage> WizardPages::CreateFinishPageIsv(const PageContext& context, ui::Dialog* host) {
  return std::make_unique<FinishPageIsv>(context, host);
}
