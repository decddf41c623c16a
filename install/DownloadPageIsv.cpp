#include "install/DownloadPageIsv.h"

#include "config/ConfigurationManager.h"
#include "install/InstallerArguments.h"
#include "locale/LanguageManager.h"
#include "packages/Package.h"
#include "resources/DialogIds.h"
#include "shell/ProgressBar.h"
#include "telemetry/EventProtocol.h"
#include "util/UrlValidation.h"
#include "util/Utf8.h"

namespace {
constexpr int kVendorImageId = 101;
}

DownloadPageIsv::DownloadPageIsv(const PageContext& context, ui::Dialog* parent,
                                 std::shared_ptr<DownloadManager> downloads,
                                 PageFactory::InstallNotifications notifications)
    : DownloadPage(context, ids::kDownloadPageIsv, parent, std::move(downloads)),
      installStartedCallback(std::move(notifications.started)),
      installFinishedCallback(std::move(notifications.finished)) {}

bool DownloadPageIsv::OnInitDialog() {
  DownloadPage::OnInitDialog();
  productImage.LoadFromResource(*configuration->Services().resources, kVendorImageId, platform::kImageResourceType);
  return true;
}

void DownloadPageIsv::StartDownload() {
  if (configuration->closeRequested || downloadQueue.empty()) return;
  const Package& package = *downloadQueue.front();
  // Everything goes to the work folder under the name its URL ends in.
  std::wstring url = package.isMainProduct ? configuration->productUrl : package.GetU();
  if (!IsValidUrl(url)) url = configuration->imageBaseUrl + url;
  StartFileDownload(url, L"", true, package.isMainProduct ? configuration->productSha256 : package.sha256);
}

void DownloadPageIsv::OnTimer(std::uintptr_t timerId) {
  if (timerId == kDownloadTimer) {
    OnDownloadTimer();
  } else if (timerId == kRunTimer && runFuture.valid() &&
             runFuture.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
    KillTimer(kRunTimer);
    if (waitingForMainProduct) {
      OnRunTimer();
    } else {
      OnOffersStarted();
    }
  }
}

void DownloadPageIsv::OnDownloadTimer() {
  const std::optional<DownloadResult> result = TakeDownloadResult();
  if (!result) return;
  KillTimer(kDownloadTimer);
  const std::shared_ptr<Package> package = downloadQueue.front();
  downloadQueue.pop_front();

  if (result->first) {
    if (package->isMainProduct) configuration->SetDownloadedFilePath(downloads->LastFilePath());
    installQueue.push_back({package, downloads->LastFilePath()});
  } else {
    ReportDownloadFailure(*package, result->second);
    if (package->isMainProduct) installFailed = true;
  }

  if (!downloadQueue.empty()) {
    StartDownload();
    return;
  }
  Notify(installStartedCallback);
  StartMarquee(progressBar);
  marqueeOn = true;
  InstallNext();
}

void DownloadPageIsv::InstallNext() {
  if (installQueue.empty()) {
    // Only when the main product failed to download and no offer arrived.
    Notify(installFinishedCallback);
    Finish();
    return;
  }
  const InstallEntry& front = installQueue.front();
  if (front.package->isMainProduct) {
    mainProductRunPath = ProgramToRun(front, configuration->downloadFolder);
    waitingForMainProduct = true;
    StartInstaller({mainProductRunPath, MakeInstallerArguments(true, "", *configuration, true)}, true);
    SetTimer(kRunTimer, kPollMilliseconds);
    return;
  }

  // The offers. Nothing is waited for, but every installer must have started
  // before the wizard moves on: its end deletes the folder they run from.
  waitingForMainProduct = false;
  StartQueuedInstallers(configuration->downloadFolder, true);
}

void DownloadPageIsv::OnRunTimer() {
  waitingForMainProduct = false;
  const std::shared_ptr<Package> package = installQueue.front().package;
  installQueue.pop_front();
  Notify(installFinishedCallback);
  RunResult result;
  try {
    result = runFuture.get();
  } catch (const std::exception& error) {
    // A run that threw before it returned counts as a start that failed.
    result = {kExitCodeNotWaited, L"Error launching executable: " + Utf8ToWide(error.what())};
  }
  if (result.first != 0) {
    ReportFailure(*package, "EXEC FAILED: ", result.second);
    installFailed = true;
  } else {
    configuration->SetDownloadedFilePath(mainProductRunPath);
    package->SendEvent(events::kCompleted);
  }

  if (installQueue.empty()) {
    Finish();
  } else {
    InstallNext();
  }
}

void DownloadPageIsv::OnOffersStarted() {
  Notify(installFinishedCallback);
  Finish();
}

void DownloadPageIsv::Finish() {
  if (installFailed && errorCallback) {
    errorCallback(languageManager->GetText("PAGE_ERROR_TITLE"), languageManager->GetText("PAGE_ERROR_TEXT"));
  } else if (buttonCallback) {
    buttonCallback(ButtonType::Next);
  }
}
