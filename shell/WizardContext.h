// What the host is assembled from: the configuration (and through it the OS
// seam), the pages, and how to stop the downloads in progress when the
// wizard closes.
#pragma once

#include <functional>
#include <memory>

#include "shell/PageFactory.h"

class ConfigurationManager;

struct WizardContext {
  std::shared_ptr<ConfigurationManager> configuration;
  std::shared_ptr<PageFactory> pages;
  // Sets the download manager's cancellation flag.
  std::function<void()> cancelDownloads;
};
