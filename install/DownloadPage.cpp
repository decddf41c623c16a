#include "install/DownloadPage.h"

#include <system_error>

#include "config/ConfigurationManager.h"
#include "install/ArchiveHandling.h"
#include "install/InstallerArguments.h"
#include "packages/Package.h"
#include "resources/DialogIds.h"
#include "shell/ProgressBar.h"
#include "telemetry/EventProtocol.h"
#include "util/Utf8.h"

DownloadPage::DownloadPage(const PageContext& context, int templateId, ui::Dialog* parent,
                           std::shared_ptr<DownloadManager> downloads)
    : IPage(context, templateId, parent), downloads(std::move(downloads)) {}

void DownloadPage::OnNavigateToPage() {
  downloadQueue.clear();
  if (configuration->mainPackage) downloadQueue.push_back(configuration->mainPackage);
  downloadQueue.insert(downloadQueue.end(), configuration->acceptedPackages.begin(),
                       configuration->acceptedPackages.end());
  StartDownload();
}

bool DownloadPage::OnInitDialog() {
  IPage::OnInitDialog();
  progressBar = Item(ids::kProgressBar);
  productImage.Attach(Item(ids::kPageImage));
  BindText(ids::kProgressTitle, "PROGRESS_TITLE");
  BindText(ids::kProgressDescription, "PROGRESS_DESC");
  RefreshTexts();
  return true;
}

bool DownloadPage::OnMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t, std::intptr_t& result) {
  if (message == ui::WM_DOWNLOAD_SIZE_UNKNOWN) {
    StartMarquee(progressBar);
    marqueeOn = true;
  } else if (message == ui::WM_DOWNLOAD_PROGRESS) {
    const double fraction = static_cast<double>(wParam) / 100;
    if (fraction > 1) {
      // Not a percentage: the bar cannot tell how far the file is.
      StartMarquee(progressBar);
    } else {
      if (marqueeOn) StopMarquee(progressBar);
      marqueeOn = false;
      progressBar.SetPosition(static_cast<int>(fraction * 100));
    }
  } else {
    return false;
  }
  result = 0;
  return true;
}

void DownloadPage::StartFileDownload(const std::wstring& url, const std::wstring& fileName, bool toTempFolder,
                                     const std::string& expectedSha256) {
  downloadFuture = std::async(std::launch::async, [downloads = downloads, url, window = Handle(), fileName,
                                                   toTempFolder, expectedSha256] {
    return downloads->DownloadFile(url, window, fileName, toTempFolder, expectedSha256);
  });
  SetTimer(kDownloadTimer, kPollMilliseconds);
}

std::optional<DownloadResult> DownloadPage::TakeDownloadResult() {
  if (!downloadFuture.valid() || downloadFuture.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
    return std::nullopt;
  try {
    return downloadFuture.get();
  } catch (const std::exception& error) {
    return DownloadResult{false, Utf8ToWide(error.what())};
  }
}

void DownloadPage::ReportFailure(Package& package, const std::string& prefix, const std::wstring& error) {
  const int eventId =
      package.isMainProduct && configuration->reportFailureAsCompletion ? events::kCompleted : events::kFailed;
  package.SendEvent(eventId, {{events::kFailureText, prefix + WideToUtf8(error)}});
}

std::wstring DownloadPage::ProgramToRun(const InstallEntry& entry, const std::wstring& extractBase) {
  const platform::Services& services = configuration->Services();
  const ArchiveKind kind = GetArchiveType(*services.files, entry.path);
  return kind == NotAnArchive ? entry.path : ResolveExecutable(services, entry.path, kind, extractBase);
}

void DownloadPage::StartInstaller(Launch launch, bool wait) {
  runFuture = std::async(std::launch::async,
                         [processes = configuration->Services().processes, launch = std::move(launch), wait] {
                           return RunProcess(*processes, launch.path, launch.arguments, wait);
                         });
}

void DownloadPage::StartQueuedInstallers(const std::wstring& extractBase, bool isvDownloadPage) {
  struct Start {
    Launch launch;
    std::shared_ptr<Package> package;
  };
  std::vector<Start> starts;
  while (!installQueue.empty()) {
    const InstallEntry entry = installQueue.front();
    starts.push_back({{ProgramToRun(entry, extractBase),
                       MakeInstallerArguments(entry.package->isMainProduct, entry.package->p, *configuration,
                                              isvDownloadPage)},
                      entry.package});
    installQueue.pop_front();
  }
  // Each offer's completion event follows the start of its installer. Both
  // happen off the window thread: with many offers, starting the programs
  // and handing the reports to their threads would keep it from its queue.
  runFuture = std::async(std::launch::async,
                         [processes = configuration->Services().processes, starts = std::move(starts)] {
                           RunResult last{kExitCodeNotWaited, L""};
                           for (const Start& start : starts) {
                             last = RunProcess(*processes, start.launch.path, start.launch.arguments, false);
                             try {
                               start.package->SendEvent(events::kCompleted);
                             } catch (const std::system_error&) {
                               // No thread for the report: it is lost, as on a
                               // failed network; the other installers still start.
                             }
                           }
                           return last;
                         });
  SetTimer(kRunTimer, kPollMilliseconds);
}
