// The ui framework's Win32 backend against Wine's user32, GDI+ and common
// controls.
#include <windows.h>
#include <gtest/gtest.h>

#include "tests/fakes/TestPng.h"
#include "ui/PostedMessages.h"
#include "ui/Startup.h"
#include "ui/win32/GdiplusImage.h"

namespace {

// GDI+ decodes a PNG from memory to its size and pixels; garbage gives no image.
TEST(UiWineTest, DecodesPngWithGdiplus) {
  ui::Startup startup;
  const auto image = std::dynamic_pointer_cast<ui::win32::GdiplusImage>(ui::DecodeImage(fakes::ThreeByTwoPng()));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->Width(), 3);
  EXPECT_EQ(image->Height(), 2);
  Gdiplus::Color color;
  ASSERT_EQ(image->Get()->GetPixel(2, 0, &color), Gdiplus::Ok);
  EXPECT_EQ(color.GetValue(), 0xFF0000FFu);  // ARGB: opaque blue

  EXPECT_EQ(ui::DecodeImage({'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'}), nullptr);
  EXPECT_EQ(ui::DecodeImage({}), nullptr);
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
