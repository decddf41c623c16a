// The ui framework's Win32 backend against Wine's user32, GDI+ and common
// controls.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "resources/DialogIds.h"
#include "tests/fakes/TestPng.h"
#include "ui/Dialog.h"
#include "ui/DialogTemplate.h"
#include "ui/Font.h"
#include "ui/WindowStyles.h"
#include "ui/PostedMessages.h"
#include "ui/StringTable.h"
#include "ui/Startup.h"
#include "ui/win32/DialogTemplateBytes.h"
#include "ui/win32/GdiplusImage.h"

namespace {

// GDI+ decodes a PNG from memory to its size and pixels; garbage gives no image.
TEST(UiWineTest, DecodesPngWithGdiplus) {
  ui::Startup startup;
  // The backend decodes to GDI+ bitmaps only (the product builds without RTTI).
  const auto image = std::static_pointer_cast<ui::win32::GdiplusImage>(ui::DecodeImage(fakes::ThreeByTwoPng()));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->Width(), 3);
  EXPECT_EQ(image->Height(), 2);
  Gdiplus::Color color;
  ASSERT_EQ(image->Get()->GetPixel(2, 0, &color), Gdiplus::Ok);
  EXPECT_EQ(color.GetValue(), 0xFF0000FFu);  // ARGB: opaque blue

  EXPECT_EQ(ui::DecodeImage({'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'}), nullptr);
  EXPECT_EQ(ui::DecodeImage({}), nullptr);
}

// A built-in picture is decoded when first asked for, to the same pixels;
// bytes that do not decode give a picture without a bitmap, no bytes none.
TEST(UiWineTest, DecodesBuiltInPicturesWhenFirstAskedFor) {
  ui::Startup startup;
  const auto image = std::static_pointer_cast<ui::win32::GdiplusImage>(ui::DecodeBuiltInImage(fakes::ThreeByTwoPng()));
  ASSERT_NE(image, nullptr);
  ASSERT_NE(image->Get(), nullptr);
  EXPECT_EQ(image->Get(), image->Get());
  EXPECT_EQ(image->Width(), 3);
  Gdiplus::Color color;
  ASSERT_EQ(image->Get()->GetPixel(2, 0, &color), Gdiplus::Ok);
  EXPECT_EQ(color.GetValue(), 0xFF0000FFu);

  const auto garbage = std::static_pointer_cast<ui::win32::GdiplusImage>(ui::DecodeBuiltInImage({'n', 'o', 't'}));
  ASSERT_NE(garbage, nullptr);
  EXPECT_EQ(garbage->Get(), nullptr);
  EXPECT_EQ(garbage->Width(), 0);
  EXPECT_EQ(ui::DecodeBuiltInImage({}), nullptr);
}

// The templates built in memory are byte for byte what the resource compiler
// makes of the generated script (this program carries that script's dialogs).
TEST(UiWineTest, BuiltTemplatesAreTheCompiledScript) {
  for (const ui::DialogTemplate& dialog : ui::DialogTemplates()) {
    HRSRC resource = ::FindResourceW(nullptr, MAKEINTRESOURCEW(dialog.id), MAKEINTRESOURCEW(5));  // RT_DIALOG
    ASSERT_NE(resource, nullptr) << dialog.id;
    const auto* compiled = static_cast<const std::uint8_t*>(::LockResource(::LoadResource(nullptr, resource)));
    const std::vector<std::uint8_t> expected(compiled, compiled + ::SizeofResource(nullptr, resource));
    const std::vector<std::uint16_t> built = ui::win32::DialogTemplateBytes(dialog);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(built.data());
    const std::vector<std::uint8_t> actual(bytes, bytes + built.size() * 2);
    const auto differs = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    EXPECT_TRUE(actual == expected) << "template " << dialog.id << ": " << actual.size() << " bytes built, "
                                    << expected.size() << " compiled, first difference at byte "
                                    << (differs.first - actual.begin());
  }
}

// A posted message reaches the window's queue with its parameters; a destroyed window refuses it.
TEST(UiWineTest, PostsToARealWindow) {
  HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  const auto handle = reinterpret_cast<ui::WindowHandle>(window);
  ASSERT_TRUE(ui::PostWindowMessage(handle, ui::WM_DOWNLOAD_PROGRESS, 4200, -7));
  MSG message{};
  ASSERT_TRUE(::PeekMessageW(&message, window, ui::WM_DOWNLOAD_PROGRESS, ui::WM_DOWNLOAD_PROGRESS, PM_REMOVE));
  EXPECT_EQ(message.wParam, 4200u);
  EXPECT_EQ(message.lParam, -7);

  ::DestroyWindow(window);
  EXPECT_FALSE(ui::PostWindowMessage(handle, ui::WM_DOWNLOAD_PROGRESS, 0, 0));
}

}  // namespace

namespace {

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The dialogs made from the template table: every control of every dialog and page exists with its class, its
// visibility and, where it shows plain text, that text; captions too. The strings come from the resources.
TEST(UiDisplayWineTest, DialogsComeFromTheTemplateTable) {
  ui::Startup startup;
  ui::Dialog host(ids::kHost);
  ASSERT_TRUE(host.Create(nullptr));
  for (const ui::DialogTemplate& dialogTemplate : ui::DialogTemplates()) {
    const bool page = dialogTemplate.style & ui::kWsChild;
    ui::Dialog dialog(dialogTemplate.id);
    ASSERT_TRUE(dialog.Create(page ? &host : nullptr)) << dialogTemplate.id;
    const HWND dialogWindow = reinterpret_cast<HWND>(dialog.Handle());
    if (dialogTemplate.style & ui::kWsCaption) {
      EXPECT_EQ(WindowText(dialogWindow), dialogTemplate.caption) << dialogTemplate.id;
    }
    for (const ui::ControlTemplate& control : dialogTemplate.controls) {
      if (control.id == -1) continue;
      HWND window = ::GetDlgItem(dialogWindow, control.id);
      ASSERT_NE(window, nullptr) << dialogTemplate.id << "/" << control.id;
      wchar_t className[64] = {};
      ::GetClassNameW(window, className, 64);
      EXPECT_EQ(_wcsicmp(className, std::wstring(ui::WindowClassOf(control.kind)).c_str()), 0)
          << dialogTemplate.id << "/" << control.id;
      EXPECT_EQ((::GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0, (control.style & ui::kWsVisible) != 0)
          << dialogTemplate.id << "/" << control.id;
      switch (control.kind) {
        case ui::ControlKind::Text:
        case ui::ControlKind::PushButton:
        case ui::ControlKind::CheckBox:
        case ui::ControlKind::RadioButton:
          EXPECT_EQ(WindowText(window), control.text) << dialogTemplate.id << "/" << control.id;
          break;
        default:
          break;
      }
    }
  }
  for (const ui::StringResource& string : ui::StringResources()) {
    EXPECT_EQ(ui::LoadResourceString(string.id), string.text) << string.id;
  }
}

// Page controls on a real page: list items, check states, progress bar, link caption and URL, derived fonts.
TEST(UiDisplayWineTest, ControlsKeepWhatTheyAreGiven) {
  ui::Startup startup;
  ui::Dialog host(ids::kHost);
  ASSERT_TRUE(host.Create(nullptr));
  for (int templateId : {ids::kLanguagePage, ids::kFinishPageDlm, ids::kWelcomePage, ids::kLoadingPage}) {
    ui::Dialog page(templateId);
    ASSERT_TRUE(page.Create(&host)) << templateId;
    if (templateId == ids::kLanguagePage) {
      ui::Control combo = page.Item(ids::kLanguageCombo);
      combo.AddItem(L"English");
      EXPECT_EQ(combo.AddItem(L"español"), 1);
      combo.SetSelection(1);
      EXPECT_EQ(combo.ItemCount(), 2);
      EXPECT_EQ(combo.ItemText(combo.Selection()), L"español");
      combo.ResetContent();
      EXPECT_EQ(combo.Selection(), ui::kNoSelection);
    } else if (templateId == ids::kFinishPageDlm) {
      page.Item(ids::kOpenFolderRadio).SetCheck(ui::kBstChecked);
      EXPECT_EQ(page.Item(ids::kOpenFolderRadio).Check(), ui::kBstChecked);
      EXPECT_EQ(page.Item(ids::kLaunchRadio).Check(), ui::kBstUnchecked);
      const ui::Font title = ui::Font::DerivedFrom(page.Item(ids::kFinishTitle), 12, 1000);
      ASSERT_TRUE(title.IsValid());
      page.Item(ids::kFinishTitle).SetFont(title);
      EXPECT_EQ(title.Description().height, 12);
      EXPECT_EQ(title.Description().weight, 1000);
    } else if (templateId == ids::kWelcomePage) {
      ui::Control link = page.Item(ids::kPrivacyLink);
      link.SetText(L"Privacy <Policy>");
      link.SetUrl(L"https://example.org/privacy");
      link.SizeToContent();
      EXPECT_EQ(link.Text(), L"Privacy <Policy>");
      EXPECT_EQ(link.Url(), L"https://example.org/privacy");
      EXPECT_GT(link.WindowRect().Width(), 0);
    } else {
      ui::Control bar = page.Item(ids::kProgressBar);
      bar.SetRange(0, 100);
      bar.SetPosition(40);
      bar.SetStep(5);
      bar.StepIt();
      EXPECT_EQ(::SendMessageW(::GetDlgItem(reinterpret_cast<HWND>(page.Handle()), ids::kProgressBar), PBM_GETPOS, 0,
                               0),
                45);
      bar.ModifyStyle(0, ui::kPbsMarquee);
      bar.SetMarquee(true, 30);
      EXPECT_TRUE(bar.Style() & ui::kPbsMarquee);
    }
  }
  // The system menu takes an item and gives it back.
  ui::SystemMenu menu = host.GetSystemMenu();
  ASSERT_TRUE(menu.Exists());
  menu.AppendItem(0x10, L"&About Brimvale...");
  EXPECT_EQ(menu.Items().back(), (ui::SystemMenuItem{0x10, L"&About Brimvale...", false}));
  menu.RemoveCommand(0x10);
  EXPECT_NE(menu.Items().back().command, 0x10u);
}

}  // namespace
