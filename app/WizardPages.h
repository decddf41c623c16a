// The wizard's pages as the program assembles them: every page class, made
// with the services it works with (the API manager for the loading page,
// the download manager for the pages that fetch files and pictures).
#pragma once

#include <memory>

#include "shell/PageFactory.h"

class ApiManager;
class DownloadManager;

class WizardPages : public PageFactory {
 public:
  WizardPages(std::shared_ptr<ApiManager> api, std::shared_ptr<DownloadManager> downloads);

  std::unique_ptr<IErrorPage> CreateErrorPage(const PageContext& context, ui::Dialog* host) override;
  std::unique_ptr<IPage> CreateLanguagePage(const PageContext& context, ui::Dialog* host) override;
  std::unique_ptr<IPage> CreateLanguagePageBT(const PageContext& context, ui::Dialog* host) override;
  std::unique_ptr<IPage> CreateLoadingPage(const PageContext& context, ui::Dialog* host,
                                           LoadCompletion completionCallback) override;
  std::unique_ptr<IPage> CreateWarningPageBTClassic(const PageContext& context, ui::Dialog* host) override;
  std::unique_ptr<IPage> CreateLicensePageIsv(const PageContext& context, ui::Dialog* host) override;
  std::unique_ptr<IPage> CreateWelcomePageIsv(const PageContext& context, ui::Dialog* host) override;
  std::unique_ptr<IPage> CreateProductPage(const PageContext& context, ui::Dialog* host,
                                           std::shared_ptr<Package> package) override;
  std::unique_ptr<IPage> CreateOptionsPageBTClassic(const PageContext& context, ui::Dialog* host) override;
  std::unique_ptr<IPage> CreateConfigurationsPageBTClassic(const PageContext& context, ui::Dialog* host) override;
  std::unique_ptr<IPage> CreateDownloadPageDlm(const PageContext& context, ui::Dialog* host) override;
  std::unique_ptr<IPage> CreateDownloadPageIsv(const PageContext& context, ui::Dialog* host,
                                               InstallNotifications notifications) override;
  std::unique_ptr<IPage> CreateFinishPageDlm(const PageContext& context, ui::Dialog* host) override;
  std::unique_ptr<IPage> CreateFinishPageIsv(const PageContext& context, ui::Dialog* host) override;

 protected:
  std::shared_ptr<ApiManager> api;
  std::shared_ptr<DownloadManager> downloads;
};
