// Entry point of BrimvaleSetup.exe: assembles the wizard from the
// process-wide services and runs it.
#include <windows.h>

#include <string_view>

#include "app/WizardPages.h"
#include "config/ApiManager.h"
#include "config/BuiltInValues.h"
#include "config/ConfigurationManager.h"
#include "install/DownloadManager.h"
#include "platform/win32/SystemLibraries.h"
#include "shell/CBrimvaleApp.h"

namespace {

// Only the pages this executable's built-in settings can show are linked in.
constexpr PageSet kBuiltPages =
    PagesOfWizard(std::string_view(built_in::kWizardKey) == "DLM", built_in::kBtClassic, built_in::kBtWarning);

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  platform::win32::RestrictLibrarySearchToSystemFolder();
  CBrimvaleApp app([] {
    const std::shared_ptr<DownloadManager> downloads = GetDownloadManager();
    return WizardContext{.configuration = GetConfiguration(),
                         .pages = std::make_shared<WizardPagesOf<kBuiltPages>>(GetApiManager(), downloads),
                         .cancelDownloads = [downloads] { downloads->cancelled = true; }};
  });
  app.InitInstance();
  return 0;
}
