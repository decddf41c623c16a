#include "shell/CBrimvaleApp.h"

#include "config/ConfigurationManager.h"
#include "shell/CBrimvaleDlg.h"
#include "ui/Startup.h"

CBrimvaleApp::CBrimvaleApp(std::function<WizardContext()> assemble) : assemble(std::move(assemble)) {}

bool CBrimvaleApp::InitInstance() {
  // Common controls, rich edit and GDI+ outlive the host and every picture.
  ui::Startup startup;
  if (!startup.RichEditLoaded()) return false;
  WizardContext context = assemble();
  const std::shared_ptr<ConfigurationManager> configuration = context.configuration;
  {
    CBrimvaleDlg host(std::move(context));
    host.SetBackgroundColor(configuration->backgroundColor);
    host.DoModal();
  }
  return false;
}
