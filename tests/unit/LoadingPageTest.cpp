// The loading page's hand-over: once every picture has arrived, in whatever
// order, exactly once.
#include <gtest/gtest.h>

#include <atomic>

#include "packages/MemoryDownloader.h"
#include "pages/LoadingPage.h"
#include "tests/fakes/AnsweringHttp.h"
#include "tests/fakes/TestPng.h"
#include "tests/unit/WizardTestHarness.h"
#include "ui/Image.h"
#include "util/Utf8.h"

namespace {

using nlohmann::json;

// Pictures that arrive when the test says: at once, inside the request
// (`immediate`), or when released one by one.
class HeldPictures : public MemoryDownloader {
 public:
  void DownloadToMemoryAsync(const std::wstring& url, BytesCallback callback) override {
    std::unique_lock lock(mutex);
    if (immediate) {
      lock.unlock();
      callback(Png());
      return;
    }
    held.emplace_back(url, std::move(callback));
  }

  // Delivers the held picture whose URL ends with `name`, on this thread.
  bool Release(const std::wstring& name) {
    std::unique_lock lock(mutex);
    for (auto it = held.begin(); it != held.end(); ++it) {
      if (!it->first.ends_with(name)) continue;
      BytesCallback callback = std::move(it->second);
      held.erase(it);
      lock.unlock();
      callback(Png());
      return true;
    }
    return false;
  }
  std::size_t Held() {
    std::lock_guard lock(mutex);
    return held.size();
  }

  bool immediate = false;

 private:
  static std::unique_ptr<std::vector<char>> Png() {
    const auto png = fakes::ThreeByTwoPng();
    return std::make_unique<std::vector<char>>(png.begin(), png.end());
  }

  std::mutex mutex;
  std::vector<std::pair<std::wstring, BytesCallback>> held;
};

json OfferJson(const std::string& id, int vertical) {
  return {{"ad", {{"o", id}, {"f", "feed"}}},
          {"ps", {{"i", id + ".png"}, {"dn", id}, {"u", "https://files.example/" + id + ".exe"}, {"v", vertical}}}};
}

class LoadingPageTest : public wizardtest::WizardTest {
 protected:
  std::shared_ptr<PageFactory> MakePages(std::shared_ptr<ApiManager> api,
                                         std::shared_ptr<DownloadManager> downloadManager) override {
    // The program's pages, with a loading page whose pictures the test holds
    // and whose hand-overs it counts.
    class Pages : public WizardPages {
     public:
      Pages(std::shared_ptr<ApiManager> api, std::shared_ptr<DownloadManager> downloads, LoadingPageTest& test)
          : WizardPages(std::move(api), std::move(downloads)), test(test) {}
      std::unique_ptr<IPage> CreateLoadingPage(const PageContext& context, ui::Dialog* host,
                                               LoadCompletion completion) override {
        return std::make_unique<LoadingPage>(context, host, api, test.pictures,
                                             [this, completion](LoadingPage::Offers offers) {
                                               ++test.completions;
                                               test.handedOver = offers.size();
                                               completion(std::move(offers));
                                             });
      }

     private:
      LoadingPageTest& test;
    };
    return std::make_shared<Pages>(std::move(api), std::move(downloadManager), *this);
  }

  void StartLoading(const json& answer) {
    http->SetBody(answer.dump());
    services.http = http;
    Start("DLM");
    ASSERT_TRUE(driver.Click(PageWindow(0), ids::kNextButton));
  }

  std::shared_ptr<fakes::AnsweringHttp> http = std::make_shared<fakes::AnsweringHttp>();
  std::shared_ptr<HeldPictures> pictures = std::make_shared<HeldPictures>();
  std::atomic<int> completions{0};
  std::atomic<std::size_t> handedOver{0};
};

json AnswerWith(std::vector<json> offers) {
  return {{"i", {{"ct", "Product"}, {"cu", "https://files.example/p.exe"}, {"cl", "https://files.example/p.png"}}},
          {"f", {{"m", 5}}},
          {"o", offers}};
}

// A product picture that arrives before the page checks for none pending: one hand-over, not two.
TEST_F(LoadingPageTest, PictureArrivingDuringTheRequestCompletesOnce) {
  pictures->immediate = true;
  StartLoading(AnswerWith({}));
  ASSERT_TRUE(driver.WaitFor([this] { return CurrentPage() == 2; }));
  ASSERT_TRUE(thread.WaitUntilIdle());
  EXPECT_EQ(completions, 1);
  EXPECT_TRUE(configuration->productIcon);
  EXPECT_EQ(host->PageCount(), 5u);  // language, loading, welcome, download, finish: appended once
}

// Product picture first or last among three offers' pictures: the hand-over follows the last, once.
class LoadingPageOrderTest : public LoadingPageTest, public testing::WithParamInterface<bool> {};

TEST_P(LoadingPageOrderTest, HandOverFollowsTheLastPicture) {
  const bool productFirst = GetParam();
  StartLoading(AnswerWith({OfferJson("A", 1), OfferJson("B", 2), OfferJson("C", 3)}));
  ASSERT_TRUE(driver.WaitFor([this] { return pictures->Held() == 4; }));
  std::vector<std::wstring> order = {L"A.png", L"B.png", L"C.png"};
  order.insert(productFirst ? order.begin() : order.end(), L"p.png");
  for (const std::wstring& picture : order) {
    EXPECT_EQ(completions, 0) << "before " << WideToUtf8(picture);
    ASSERT_TRUE(pictures->Release(picture));
  }
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(handedOver, 3u);
  ASSERT_TRUE(driver.WaitFor([this] { return CurrentPage() == 2; }));
  ASSERT_TRUE(thread.WaitUntilIdle());
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(host->PageCount(), 8u);  // three product pages among them
}

INSTANTIATE_TEST_SUITE_P(ProductPicture, LoadingPageOrderTest, testing::Values(true, false),
                         [](const auto& info) { return info.param ? "First" : "Last"; });

}  // namespace
