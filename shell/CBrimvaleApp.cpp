#include "shell/CBrimvaleApp.h"

#include "config/ConfigurationManager.h"
#include "shell/CBrimvaleDlg.h"
#include "ui/Startup.h"

CBrimvaleApp::CBrimvaleApp(platform::Services services,
                           std::function<std::shared_ptr<ConfigurationManager>()> getConfiguration)
    : services(std::move(services)), getConfiguration(std::move(getConfiguration)) {}

bool CBrimvaleApp::InitInstance() {
  // Common controls, rich edit and GDI+ outlive the host and every picture.
  ui::Startup startup;
  if (!startup.RichEditLoaded()) return false;
  const std::shared_ptr<ConfigurationManager> configuration = getConfiguration();
  {
    CBrimvaleDlg host({configuration, services});
    host.SetBackgroundColor(configuration->backgroundColor);
    host.DoModal();
  }
  return false;
}
