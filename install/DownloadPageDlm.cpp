#include "install/DownloadPageDlm.h"

#include "config/ConfigurationManager.h"
#include "locale/LanguageManager.h"
#include "packages/Package.h"
#include "resources/DialogIds.h"
#include "telemetry/EventProtocol.h"
#include "util/UrlValidation.h"

DownloadPageDlm::DownloadPageDlm(const PageContext& context, ui::Dialog* parent,
                                 std::shared_ptr<DownloadManager> downloads)
    : DownloadPage(context, ids::kDownloadPageDlm, parent, std::move(downloads)) {}

bool DownloadPageDlm::OnInitDialog() {
  DownloadPage::OnInitDialog();
  productImage.SetImage(configuration->productIcon);
  return true;
}

void DownloadPageDlm::StartDownload() {
  if (configuration->closeRequested || downloadQueue.empty()) return;
  const Package& package = *downloadQueue.front();
  if (package.isMainProduct) {
    // The product's own URL and name, into the Downloads folder.
    StartFileDownload(configuration->productUrl, configuration->productFileName, false,
                      configuration->productSha256);
    return;
  }
  std::wstring url = package.GetU();
  if (!IsValidUrl(url)) url = configuration->imageBaseUrl + url;
  StartFileDownload(url, L"", true, package.sha256);
}

void DownloadPageDlm::OnTimer(std::uintptr_t timerId) {
  if (timerId == kDownloadTimer) {
    OnDownloadTimer();
  } else if (timerId == kRunTimer && runFuture.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
    KillTimer(kRunTimer);
    Finish();
  }
}

void DownloadPageDlm::OnDownloadTimer() {
  const std::optional<DownloadResult> result = TakeDownloadResult();
  if (!result) return;
  KillTimer(kDownloadTimer);
  const std::shared_ptr<Package> package = downloadQueue.front();
  downloadQueue.pop_front();

  if (result->first && package->isMainProduct) {
    configuration->SetDownloadedFilePath(downloads->LastFilePath());
    package->SendEvent(events::kCompleted);
  } else if (result->first) {
    installQueue.push_back({package, downloads->LastFilePath()});
  } else {
    ReportDownloadFailure(*package, result->second);
    if (package->isMainProduct) mainDownloadFailed = true;
  }

  if (!downloadQueue.empty()) {
    StartDownload();
  } else if (!installQueue.empty()) {
    InstallNext();
  } else {
    Finish();
  }
}

void DownloadPageDlm::InstallNext() {
  // Nothing is waited for, but every installer must have started before the
  // wizard moves on: Finish deletes the folder they run from.
  StartQueuedInstallers(configuration->workFolder, false);
}

void DownloadPageDlm::Finish() {
  if (mainDownloadFailed && errorCallback) {
    errorCallback(languageManager->GetText("PAGE_DOWNLOAD_ERROR_TITLE"),
                  languageManager->GetText("PAGE_DOWNLOAD_ERROR_DESC"));
  } else if (buttonCallback) {
    buttonCallback(ButtonType::Next);
  }
}
