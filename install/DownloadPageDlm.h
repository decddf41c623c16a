// The download page of the download-manager wizard: the main product into
// the user's Downloads folder and every accepted offer into the work
// folder, one after the other, each result reported as an event; then the
// offers' installers started without waiting, and on to the finish page,
// or to the error page when the main product could not be downloaded. The
// page has no buttons: it moves on by itself.
#pragma once

#include "install/DownloadPage.h"

class DownloadPageDlm : public DownloadPage {
 public:
  DownloadPageDlm(const PageContext& context, ui::Dialog* parent, std::shared_ptr<DownloadManager> downloads);

  std::wstring GetPageName() const override { return L"DownloadPageDLM"; }

 protected:
  bool OnInitDialog() override;
  void OnTimer(std::uintptr_t timerId) override;

 private:
  // Downloads the front of the queue (nothing once the wizard is closing).
  void StartDownload() override;
  // Timer 4096: the finished download's result, then the next step.
  void OnDownloadTimer();
  // Starts every downloaded offer; timer 4098 finishes once all have started.
  void InstallNext();
  // Next, or the error page when the main product failed.
  void Finish();

  bool mainDownloadFailed = false;
};
