#include "app/WizardPages.h"

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

std::unique_ptr<IPage> WizardPages::CreateLoadingPage(const PageContext& context, ui::Dialog* host,
                                                      LoadCompletion completionCallback) {
  return std::make_unique<LoadingPage>(context, host, api, downloads, std::move(completionCallback));
}

std::unique_ptr<IPage> WizardPages::CreateWarningPageBTClassic(const PageContext& context, ui::Dialog* host) {
  return std::make_unique<WarningPageBTClassic>(context, host);
}

std::unique_ptr<IPage> WizardPages::CreateLicensePageIsv(const PageContext& context, ui::Dialog* host) {
  return std::make_unique<LicensePageIsv>(context, host);
}

std::unique_ptr<IPage> WizardPages::CreateWelcomePageIsv(const PageContext& context, ui::Dialog* host) {
  return std::make_unique<WelcomePageIsv>(context, host);
}

std::unique_ptr<IPage> WizardPages::CreateProductPage(const PageContext& context, ui::Dialog* host,
                                                      std::shared_ptr<Package> package) {
  return std::make_unique<ProductPage>(context, std::move(package), host);
}

std::unique_ptr<IPage> WizardPages::CreateOptionsPageBTClassic(const PageContext& context, ui::Dialog* host) {
  return std::make_unique<OptionsPageBTClassic>(context, host);
}

std::unique_ptr<IPage> WizardPages::CreateConfigurationsPageBTClassic(const PageContext& context, ui::Dialog* host) {
  return std::make_unique<ConfigurationsPageBTClassic>(context, host);
}

std::unique_ptr<IPage> WizardPages::CreateDownloadPageDlm(const PageContext& context, ui::Dialog* host) {
  return std::make_unique<DownloadPageDlm>(context, host, downloads);
}

std::unique_ptr<IPage> WizardPages::CreateDownloadPageIsv(const PageContext& context, ui::Dialog* host,
                                                          InstallNotifications notifications) {
  return std::make_unique<DownloadPageIsv>(context, host, downloads, std::move(notifications));
}

std::unique_ptr<IPage> WizardPages::CreateFinishPageDlm(const PageContext& context, ui::Dialog* host) {
  return std::make_unique<FinishPageDlm>(context, host);
}

std::unique_ptr<IPage> WizardPages::CreateFinishPageIsv(const PageContext& context, ui::Dialog* host) {
  return std::make_unique<FinishPageIsv>(context, host);
}
