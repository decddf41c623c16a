// The program's run: the user interface prepared, the host dialog run
// modally, everything released in order. InitInstance always returns false:
// no message loop follows the dialog.
#pragma once

#include <functional>
#include <memory>

#include "platform/Services.h"

class ConfigurationManager;

class CBrimvaleApp {
 public:
  // `getConfiguration` gives the configuration; its first call creates it.
  CBrimvaleApp(platform::Services services, std::function<std::shared_ptr<ConfigurationManager>()> getConfiguration);

  bool InitInstance();

 private:
  platform::Services services;
  std::function<std::shared_ptr<ConfigurationManager>()> getConfiguration;
};
