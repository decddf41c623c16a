// A wizard host on a headless window thread with fake services, and a plain
// page for the places of the sequence whose real pages come later.
#pragma once

#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/WizardPages.h"
#include "config/ApiManager.h"
#include "config/ConfigurationManager.h"
#include "install/DownloadManager.h"
#include "resources/DialogIds.h"
#include "shell/CBrimvaleDlg.h"
#include "tests/fakes/TestServices.h"
#include "ui/WindowStyles.h"
#include "ui/headless/Driver.h"
#include "ui/headless/WindowThread.h"

namespace wizardtest {

// A page with any template: Next/Agree, Back, Accept, Decline and Finish do
// what their names say; bound texts come from the language manager.
class TestPage : public IPage {
 public:
  TestPage(const PageContext& context, int templateId, ui::Dialog* parent, std::wstring name,
           std::vector<std::pair<int, std::string>> bindings = {})
      : IPage(context, templateId, parent), name(std::move(name)), bindings(std::move(bindings)) {}

  void OnNavigateToPage() override { ++navigations; }
  void SetButtonCallback(ButtonCallback callback) override { buttonCallback = std::move(callback); }
  void SetErrorCallback(ErrorCallback callback) override { errorCallback = std::move(callback); }
  std::wstring GetPageName() const override { return name; }

  int navigations = 0;
  ButtonCallback buttonCallback;
  ErrorCallback errorCallback;

 protected:
  bool OnInitDialog() override {
    IPage::OnInitDialog();
    for (const auto& [id, key] : bindings) BindText(id, key);
    RefreshTexts();
    return true;
  }

  void OnCommand(int controlId, int notifyCode) override {
    const std::map<int, ButtonType> buttons = {{ids::kNextButton, ButtonType::Next},
                                               {ids::kAgreeButton, ButtonType::Next},
                                               {ids::kBackButton, ButtonType::Back},
                                               {ids::kAcceptButton, ButtonType::Accept},
                                               {ids::kDeclineButton, ButtonType::Decline},
                                               {ids::kFinishButton, ButtonType::Finish}};
    if (auto found = buttons.find(controlId); found != buttons.end() && buttonCallback) {
      buttonCallback(found->second);
    } else {
      IPage::OnCommand(controlId, notifyCode);
    }
  }

 private:
  std::wstring name;
  std::vector<std::pair<int, std::string>> bindings;
};

// The program's pages with a plain loading page at index 1.
class TestPages : public WizardPages {
 public:
  using WizardPages::WizardPages;

  std::unique_ptr<IPage> CreateLoadingPage(const PageContext& context, ui::Dialog* host,
                                           LoadCompletion) override {
    return std::make_unique<TestPage>(context, ids::kLoadingPage, host, L"LoadingPage");
  }
};

// The host, with the context it hands its pages in reach.
class TestHost : public CBrimvaleDlg {
 public:
  using CBrimvaleDlg::CBrimvaleDlg;
  using CBrimvaleDlg::pageContext;
};

inline const std::wstring kMutexName = L"Global\\BrimvaleDLMSingleInstanceMutex";

class WizardTest : public testing::Test {
 protected:
  void TearDown() override {
    if (!host) return;
    thread.Run([this] {
      if (host->HasWindow()) host->EndDialog(0);
    });
    if (result.valid()) result.wait();
    thread.Run([this] { host.reset(); });
  }

  // The pages the host is built from: the program's own, with a plain
  // loading page unless a test wants the real one.
  virtual std::shared_ptr<PageFactory> MakePages(std::shared_ptr<ApiManager> api,
                                                 std::shared_ptr<DownloadManager> downloads) {
    return std::make_shared<TestPages>(std::move(api), std::move(downloads));
  }

  // Builds the configuration of a wizard kind and runs the host modally.
  void Start(const std::string& wizardKey = "DLM", const std::wstring& userLocale = L"en_US.UTF-8",
             BuiltInSettings builtIns = {}) {
    services.environment->variables[L"LANG"] = userLocale;
    builtIns.wizardKey = wizardKey;
    configuration = std::make_shared<ConfigurationManager>(services.Bundle(), builtIns);
    downloads = std::make_shared<DownloadManager>(configuration);
    WizardContext context{.configuration = configuration,
                          .pages = MakePages(std::make_shared<ApiManager>(configuration), downloads),
                          .cancelDownloads = [downloads = downloads] { downloads->cancelled = true; }};
    host = thread.Run([&] { return std::make_unique<TestHost>(std::move(context)); });
    auto promise = std::make_shared<std::promise<int>>();
    result = promise->get_future();
    thread.Post([this, promise] {
      host->SetBackgroundColor(configuration->backgroundColor);
      promise->set_value(host->DoModal());
    });
    ASSERT_TRUE(thread.WaitUntilIdle());
  }

  // Appends pages after index 1, as load completion will.
  template <typename MakePages>
  void AddPages(MakePages makePages) {
    thread.Run([&] {
      for (auto& page : makePages(host->pageContext, host.get())) host->CreateAndAddPage(std::move(page), host->PageArea());
    });
  }

  ui::WindowHandle HostWindow() { return thread.Run([this] { return host->Handle(); }); }
  ui::WindowHandle PageWindow(std::size_t index) {
    return thread.Run([this, index] { return host->PageAt(index)->Handle(); });
  }
  unsigned CurrentPage() { return thread.Run([this] { return host->CurrentPageIndex(); }); }
  bool Ended() { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }

  // Waits for the message box the wizard shows and answers it.
  ui::headless::WindowState AnswerBox(int answer) {
    EXPECT_TRUE(driver.WaitFor([] { return !ui::headless::Driver::MessageBoxes().empty(); }));
    auto boxes = ui::headless::Driver::MessageBoxes();
    if (boxes.empty()) return {};
    EXPECT_TRUE(driver.AnswerMessageBox(answer));
    return boxes.back();
  }

  // Closes with the close box, answering the question if one comes.
  void CloseConfirmed() {
    ASSERT_TRUE(driver.Close(HostWindow()));
    if (!ui::headless::Driver::MessageBoxes().empty()) AnswerBox(platform::kIdOk);
    ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  }

  fakes::TestServices services;
  std::shared_ptr<ConfigurationManager> configuration;
  std::shared_ptr<DownloadManager> downloads;
  std::unique_ptr<TestHost> host;
  std::future<int> result;
  ui::headless::WindowThread thread;
  ui::headless::Driver driver;
};

}  // namespace wizardtest
