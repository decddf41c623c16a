// What the host hands every page: the shared text store, the configuration
// and the OS seam.
#pragma once

#include <memory>

#include "platform/Services.h"

class ConfigurationManager;
class LanguageManager;

struct PageContext {
  std::shared_ptr<LanguageManager> languageManager;
  std::shared_ptr<ConfigurationManager> configuration;
  platform::Services services;
};
