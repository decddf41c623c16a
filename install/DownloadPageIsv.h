// The download and install page of the vendor-installer wizard: the main
// product and every accepted offer into the work folder, one after the
// other; then the main product's installer, waited for (its exit code
// decides), and after it the offers' installers, not waited for. Each
// outcome is reported as an event. On to the finish page, or to the error
// page when the main product could not be downloaded or installed. While the
// main installer runs the host knows it, so closing asks the install
// question. The page has no buttons: it moves on by itself.
#pragma once

#include <functional>

#include "install/DownloadPage.h"
#include "shell/PageFactory.h"

class DownloadPageIsv : public DownloadPage {
 public:
  DownloadPageIsv(const PageContext& context, ui::Dialog* parent, std::shared_ptr<DownloadManager> downloads,
                  PageFactory::InstallNotifications notifications);

  std::wstring GetPageName() const override { return L"DownloadPageISV"; }

  // From the host: the installers are about to run; the waited installer
  // has ended, or every installer was started. Each called when set.
  std::function<void()> installStartedCallback;
  std::function<void()> installFinishedCallback;

 protected:
  bool OnInitDialog() override;
  void OnTimer(std::uintptr_t timerId) override;

 private:
  // Downloads the front of the queue (nothing once the wizard is closing).
  void StartDownload() override;
  // Timer 4096: the finished download's result, then the next download or
  // the install phase.
  void OnDownloadTimer();
  // The front of the install queue: the main product, waited for by timer
  // 4098; or every offer left, started in order on one worker.
  void InstallNext();
  // Timer 4098: the main installer's result, then the offers.
  void OnRunTimer();
  // Timer 4098 after the offers: they have all started.
  void OnOffersStarted();
  // Next, or the error page when the main product failed.
  void Finish();
  static void Notify(const std::function<void()>& callback) {
    if (callback) callback();
  }

  std::wstring mainProductRunPath;
  bool installFailed = false;
  bool waitingForMainProduct = false;
};
