// What the host hands every page: the shared text store and the
// configuration (and through it the OS seam).
#pragma once

#include <memory>

class ConfigurationManager;
class LanguageManager;

struct PageContext {
  std::shared_ptr<LanguageManager> languageManager;
  std::shared_ptr<ConfigurationManager> configuration;
};
