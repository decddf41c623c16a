// What the host is assembled from: the configuration and the OS seam.
#pragma once

#include <memory>

#include "platform/Services.h"

class ConfigurationManager;

struct WizardContext {
  std::shared_ptr<ConfigurationManager> configuration;
  platform::Services services;
};
