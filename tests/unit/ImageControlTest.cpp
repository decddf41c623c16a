#include <gtest/gtest.h>

#include <png.h>

#include <cstring>

#include "platform/posix/EmbeddedResources.h"
#include "resources/DialogIds.h"
#include "shell/CStaticFromImage.h"
#include "ui/Dialog.h"
#include "ui/headless/Driver.h"

namespace {

using ui::headless::Rgba;

// A 512 x 512 PNG in four coloured quarters: red, green / blue, white.
std::vector<std::uint8_t> QuarteredPng() {
  std::vector<std::uint8_t> pixels(512 * 512 * 4);
  for (int y = 0; y < 512; ++y) {
    for (int x = 0; x < 512; ++x) {
      const Rgba colour = y < 256 ? (x < 256 ? Rgba{255, 0, 0, 255} : Rgba{0, 255, 0, 255})
                                  : (x < 256 ? Rgba{0, 0, 255, 255} : Rgba{255, 255, 255, 255});
      std::memcpy(&pixels[(y * 512 + x) * 4], &colour, 4);
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = 512;
  image.height = 512;
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
  std::vector<std::uint8_t> png(size);
  png_image_write_to_memory(&image, png.data(), &size, 0, pixels.data(), 0, nullptr);
  return png;
}

// A 16 x 16 image control shows a 512 x 512 picture stretched down to its size; without one it paints nothing.
TEST(ImageControlTest, PaintsThePictureStretchedToTheControl) {
  ui::Dialog dialog(ids::kHost);
  ASSERT_TRUE(dialog.Create(nullptr));
  ui::Control control = dialog.Item(ids::kHeaderImage);
  control.MoveTo({9, 7, 25, 23});
  CStaticFromImage image;
  image.Attach(control);
  EXPECT_TRUE(ui::headless::Driver::Paint(dialog.Handle(), ids::kHeaderImage).pixels.empty());

  image.SetImage(ui::DecodeImage(QuarteredPng()));
  const auto painted = ui::headless::Driver::Paint(dialog.Handle(), ids::kHeaderImage);
  ASSERT_EQ(painted.width, 16);
  ASSERT_EQ(painted.height, 16);
  EXPECT_EQ(painted.At(0, 0), (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(painted.At(7, 7), (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(painted.At(8, 0), (Rgba{0, 255, 0, 255}));
  EXPECT_EQ(painted.At(0, 8), (Rgba{0, 0, 255, 255}));
  EXPECT_EQ(painted.At(15, 15), (Rgba{255, 255, 255, 255}));
}

// The page pictures load from the embedded resources; a missing one gives no picture.
TEST(ImageControlTest, LoadsPngResources) {
  platform::posix::EmbeddedResources resources;
  const auto finish = LoadPngResource(resources, 102, platform::kImageResourceType2);
  ASSERT_NE(finish, nullptr);
  EXPECT_EQ(finish->Width(), 512);
  EXPECT_EQ(LoadPngResource(resources, 102, platform::kImageResourceType3), nullptr);
  EXPECT_EQ(LoadPngResource(resources, 999, platform::kImageResourceType), nullptr);
}

}  // namespace
