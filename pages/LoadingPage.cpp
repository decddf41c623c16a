#include "pages/LoadingPage.h"

#include <optional>
#include <string>

#include "config/ApiManager.h"
#include "config/BrimvaleException.h"
#include "config/ConfigurationManager.h"
#include "locale/LanguageManager.h"
#include "packages/MemoryDownloader.h"
#include "packages/Package.h"
#include "pages/ConfigurationAnswer.h"
#include "resources/DialogIds.h"
#include "shell/ProgressBar.h"
#include "ui/Image.h"

LoadingPage::LoadingPage(const PageContext& context, ui::Dialog* parent, std::shared_ptr<ApiManager> api,
                         std::shared_ptr<MemoryDownloader> images, LoadCompletion completionCallback)
    : IPage(context, ids::kLoadingPage, parent), api(std::move(api)), images(std::move(images)) {
  arrivals->completionCallback = std::move(completionCallback);
}

LoadingPage::~LoadingPage() {
  if (loadResult.valid()) loadResult.wait();
  std::unique_lock lock(arrivals->mutex);
  arrivals->completionCallback = nullptr;
  arrivals->noneAwaited.wait(lock, [this] { return arrivals->pendingImages <= 0; });
}

bool LoadingPage::OnInitDialog() {
  // The page's own set-up only: the band keeps its colour through
  // OnCtlColor, which tests the id.
  ui::Dialog::OnInitDialog();
  progressBar = Item(ids::kProgressBar);
  RefreshTexts();
  return true;
}

void LoadingPage::OnNavigateToPage() {
  StartMarquee(progressBar);
  const ui::WindowHandle window = Handle();
  loadResult = std::async(std::launch::async, [this, window]() -> Offers {
    try {
      const std::unique_ptr<nlohmann::json> answer = api->RequestConfiguration();
      std::optional<Offers> offers = ReadConfigurationAnswer(*answer, configuration);
      requestFailed = !offers;
      ui::PostWindowMessage(window, ui::WM_LOADING_REQUEST_COMPLETE, 0, 0);
      return offers ? std::move(*offers) : Offers{};
    } catch (...) {
      ui::PostWindowMessage(window, ui::WM_LOADING_REQUEST_COMPLETE, 0, 0);
      throw;
    }
  });
}

bool LoadingPage::OnMessage(std::uint32_t message, std::uintptr_t, std::intptr_t, std::intptr_t& result) {
  if (message != ui::WM_LOADING_REQUEST_COMPLETE) return false;
  OnRequestComplete();
  result = 0;
  return true;
}

void LoadingPage::OnRequestComplete() {
  if (requestFailed) {
    ShowLoadError();
    return;
  }
  Offers offers;
  std::optional<std::string> failure;
  try {
    if (!loadResult.valid()) throw std::future_error(std::future_errc::no_state);
    offers = loadResult.get();
  } catch (const BrimvaleException& error) {
    failure = error.Describe();
  } catch (const std::exception& error) {
    failure = error.what();
  }
  if (failure) {
    configuration->Services().debugOutput->WriteDiagnostic("Configuration request failed: " + *failure);
    // The vendor wizard goes on without offers; the download wizard cannot.
    if (configuration->wizardType == DLM) {
      ShowLoadError();
      return;
    }
    offers.clear();
  }

  const std::shared_ptr<Arrivals> shared = arrivals;
  {
    std::lock_guard lock(shared->mutex);
    shared->pendingImages = static_cast<int>(offers.size());
    shared->offers = offers;
  }
  if (configuration->wizardType == DLM && !configuration->productImageUrl.empty()) {
    {
      std::lock_guard lock(shared->mutex);
      ++shared->pendingImages;
    }
    images->DownloadToMemoryAsync(configuration->productImageUrl,
                                  [shared, configuration = configuration](std::unique_ptr<std::vector<char>> bytes) {
                                    // Nothing arrived: the header stays without a picture.
                                    if (bytes && !bytes->empty())
                                      configuration->productIcon =
                                          ui::DecodeImage(std::vector<std::uint8_t>(bytes->begin(), bytes->end()));
                                    std::lock_guard lock(shared->mutex);
                                    shared->OneArrived();
                                  });
  }
  {
    std::lock_guard lock(shared->mutex);
    shared->CompleteIfNoneAwaited();
  }
  for (const std::shared_ptr<Package>& offer : offers) {
    offer->DownloadImage(
        [shared] {
          std::lock_guard lock(shared->mutex);
          shared->OneArrived();
        },
        *images);
  }
}

void LoadingPage::Arrivals::OneArrived() {
  --pendingImages;
  CompleteIfNoneAwaited();
  if (pendingImages <= 0) noneAwaited.notify_all();
}

void LoadingPage::Arrivals::CompleteIfNoneAwaited() {
  if (pendingImages != 0 || completed || !completionCallback) return;
  completed = true;
  completionCallback(offers);
}

void LoadingPage::ShowLoadError() {
  if (!errorCallback) return;
  switch (configuration->wizardType) {
    case DLM:
      errorCallback(languageManager->GetText("PAGE_CONFIGURATION_ERROR_TITLE"),
                    languageManager->GetText("PAGE_CONFIGURATION_ERROR_DESC"));
      break;
    case ISV: errorCallback(languageManager->GetText("PAGE_ERROR_TITLE"), L""); break;
    default: errorCallback(L"", L""); break;
  }
}
