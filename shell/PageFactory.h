// How the host gets its pages. The host decides which pages make up the
// sequence and in which order; the factory knows the page classes, which
// live above the shell (pages/, install/), so the shell never names them.
// One method per page class; each constructs the page with the host as its
// parent (the host creates its window).
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "shell/IErrorPage.h"
#include "shell/IPage.h"
#include "shell/PageContext.h"

class Package;

class PageFactory {
 public:
  // The loading page's result: the accepted offers, in answer order.
  using LoadCompletion = std::function<void(std::vector<std::shared_ptr<Package>>)>;
  // The vendor download page tells the host when its installers start and
  // when the waited one has ended.
  struct InstallNotifications {
    std::function<void()> started;
    std::function<void()> finished;
  };

  virtual ~PageFactory() = default;

  virtual std::unique_ptr<IErrorPage> CreateErrorPage(const PageContext& context, ui::Dialog* host) = 0;
  virtual std::unique_ptr<IPage> CreateLanguagePage(const PageContext& context, ui::Dialog* host) = 0;
  virtual std::unique_ptr<IPage> CreateLanguagePageBT(const PageContext& context, ui::Dialog* host) = 0;
  virtual std::unique_ptr<IPage> CreateLoadingPage(const PageContext& context, ui::Dialog* host,
                                                   LoadCompletion completionCallback) = 0;
  virtual std::unique_ptr<IPage> CreateWarningPageBTClassic(const PageContext& context, ui::Dialog* host) = 0;
  virtual std::unique_ptr<IPage> CreateLicensePageIsv(const PageContext& context, ui::Dialog* host) = 0;
  virtual std::unique_ptr<IPage> CreateWelcomePageIsv(const PageContext& context, ui::Dialog* host) = 0;
  virtual std::unique_ptr<IPage> CreateProductPage(const PageContext& context, ui::Dialog* host,
                                                   std::shared_ptr<Package> package) = 0;
  virtual std::unique_ptr<IPage> CreateOptionsPageBTClassic(const PageContext& context, ui::Dialog* host) = 0;
  virtual std::unique_ptr<IPage> CreateConfigurationsPageBTClassic(const PageContext& context,
                                                                   ui::Dialog* host) = 0;
  virtual std::unique_ptr<IPage> CreateDownloadPageDlm(const PageContext& context, ui::Dialog* host) = 0;
  virtual std::unique_ptr<IPage> CreateDownloadPageIsv(const PageContext& context, ui::Dialog* host,
                                                       InstallNotifications notifications) = 0;
  virtual std::unique_ptr<IPage> CreateFinishPageDlm(const PageContext& context, ui::Dialog* host) = 0;
  virtual std::unique_ptr<IPage> CreateFinishPageIsv(const PageContext& context, ui::Dialog* host) = 0;
};
