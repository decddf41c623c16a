// What the two download pages share: the picture and the two progress
// texts, and a progress bar that shows the current file, turning into a
// marquee while a response has no usable length.
#pragma once

#include <deque>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "install/DownloadManager.h"
#include "install/RunProcess.h"
#include "shell/CStaticFromImage.h"
#include "shell/IPage.h"

class Package;

class DownloadPage : public IPage {
 public:
  // Queues the main product and the accepted offers and starts the first.
  void OnNavigateToPage() override;
  void SetButtonCallback(ButtonCallback callback) override { buttonCallback = std::move(callback); }
  void SetErrorCallback(ErrorCallback callback) override { errorCallback = std::move(callback); }

 protected:
  // A downloaded package still to be started, with the file to run.
  struct InstallEntry {
    std::shared_ptr<Package> package;
    std::wstring path;
  };

  // A program to start, with its arguments.
  struct Launch {
    std::wstring path;
    std::wstring arguments;
  };

  static constexpr std::uintptr_t kDownloadTimer = 4096;
  static constexpr std::uintptr_t kRunTimer = 4098;
  static constexpr unsigned kPollMilliseconds = 100;

  DownloadPage(const PageContext& context, int templateId, ui::Dialog* parent,
               std::shared_ptr<DownloadManager> downloads);

  // The base set-up, the two progress texts bound and refreshed.
  bool OnInitDialog() override;
  // WM_DOWNLOAD_SIZE_UNKNOWN and WM_DOWNLOAD_PROGRESS.
  bool OnMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam, std::intptr_t& result) override;

  // Downloads the front of the queue, each page to where its kind keeps
  // files (nothing once the wizard is closing).
  virtual void StartDownload() = 0;
  // Starts DownloadFile on a worker and the timer that polls it;
  // `expectedSha256` is the answer's digest of the file, or empty.
  void StartFileDownload(const std::wstring& url, const std::wstring& fileName, bool toTempFolder,
                         const std::string& expectedSha256);
  // The finished download's result, or nullopt while it runs. A download
  // that threw counts as failed with the exception's text.
  std::optional<DownloadResult> TakeDownloadResult();
  // Reports a failure of the package: event -1, or 3 for the main product
  // when the configuration reports failures as completions, with `prefix`
  // and the error text ("DOWNLOAD FAILED: ", "EXEC FAILED: ").
  void ReportFailure(Package& package, const std::string& prefix, const std::wstring& error);
  void ReportDownloadFailure(Package& package, const std::wstring& error) {
    ReportFailure(package, "DOWNLOAD FAILED: ", error);
  }
  // The program to run for a downloaded file: the file itself, or for an
  // archive the program unpacked from it into `extractBase` (here, on the
  // window thread).
  std::wstring ProgramToRun(const InstallEntry& entry, const std::wstring& extractBase);
  // Starts the program on a worker, waiting there for it to end when `wait`
  // is set; replacing the previous run waits for that one to return.
  void StartInstaller(Launch launch, bool wait);
  // Starts the installers of every entry left in the install queue, in
  // order, none waited for, each archive first unpacked into `extractBase`;
  // each package leaves the queue and reports event 3 once its installer
  // started. They start one after the other on one worker, so starting many
  // takes the window thread no time; timer 4098 sees `runFuture` ready once
  // all have started.
  void StartQueuedInstallers(const std::wstring& extractBase, bool isvDownloadPage);

  ButtonCallback buttonCallback;
  ErrorCallback errorCallback;
  std::shared_ptr<DownloadManager> downloads;
  ui::Control progressBar;
  bool marqueeOn = false;
  std::future<DownloadResult> downloadFuture;
  std::future<RunResult> runFuture;
  std::deque<std::shared_ptr<Package>> downloadQueue;
  std::deque<InstallEntry> installQueue;
  CStaticFromImage productImage;
};
