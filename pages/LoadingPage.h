// The second page of every run: an animated bar while a worker asks the
// configuration server what to install, stores the product data and keeps
// the offers the rules accept. Back on the window thread it fetches the
// product picture and the offer pictures; when the last one has arrived (or
// failed) it hands the accepted offers to the host, once.
#pragma once

#include <condition_variable>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <vector>

#include "shell/IPage.h"

class ApiManager;
class MemoryDownloader;
class Package;

class LoadingPage : public IPage {
 public:
  using Offers = std::vector<std::shared_ptr<Package>>;
  using LoadCompletion = std::function<void(Offers)>;

  // `api` asks the configuration server; `images` fetches the pictures.
  // `completionCallback` receives the accepted offers, on whichever thread
  // the last picture arrived.
  LoadingPage(const PageContext& context, ui::Dialog* parent, std::shared_ptr<ApiManager> api,
              std::shared_ptr<MemoryDownloader> images, LoadCompletion completionCallback);
  // Waits for the loading task and for the pictures still on their way, so
  // that nothing the page started outlives it.
  ~LoadingPage() override;

  // Starts the marquee and the loading task.
  void OnNavigateToPage() override;
  void SetButtonCallback(ButtonCallback callback) override { buttonCallback = std::move(callback); }
  void SetErrorCallback(ErrorCallback callback) override { errorCallback = std::move(callback); }
  std::wstring GetPageName() const override { return L"LoadingPage"; }

  // The error page's texts for the wizard type, through the error callback.
  void ShowLoadError();

 protected:
  bool OnInitDialog() override;
  bool OnMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam, std::intptr_t& result) override;

 private:
  // What the picture downloads share with the page; they end on their own
  // threads, in any order.
  struct Arrivals {
    std::mutex mutex;
    std::condition_variable noneAwaited;
    int pendingImages = 0;
    bool completed = false;  // the completion callback ran: it runs once per load
    Offers offers;
    LoadCompletion completionCallback;

    // Under the lock: one picture fewer to wait for.
    void OneArrived();
    // Under the lock: hands the offers over when no picture is awaited.
    void CompleteIfNoneAwaited();
  };

  // WM_LOADING_REQUEST_COMPLETE: the error page, or the picture downloads.
  void OnRequestComplete();

  ButtonCallback buttonCallback;
  ErrorCallback errorCallback;
  std::shared_ptr<ApiManager> api;
  std::shared_ptr<MemoryDownloader> images;
  std::shared_ptr<Arrivals> arrivals = std::make_shared<Arrivals>();
  std::future<Offers> loadResult;
  ui::Control progressBar;
  bool requestFailed = false;  // written by the task before its message, read after it
};
