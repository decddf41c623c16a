// The page images embedded in the program.
#include <gtest/gtest.h>
#include <png.h>

#include <vector>

#include "platform/posix/EmbeddedResources.h"

// Each page image is a complete 512 x 512 PNG under its own resource type,
// small enough to keep the executable small.
TEST(PageImages, EmbeddedAsSmallSquarePngs) {
  const std::pair<int, const wchar_t*> images[] = {
      {101, platform::kImageResourceType},
      {102, platform::kImageResourceType2},
      {103, platform::kImageResourceType3},
  };
  platform::posix::EmbeddedResources resources;
  for (const auto& [id, type] : images) {
    const auto data = resources.Read(id, type);
    ASSERT_EQ(data.status, platform::ResourceStatus::Found) << id;
    EXPECT_LT(data.bytes.size(), 30u * 1024) << id;

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&image, data.bytes.data(), data.bytes.size())) << id;
    EXPECT_EQ(image.width, 512u) << id;
    EXPECT_EQ(image.height, 512u) << id;
    image.format = PNG_FORMAT_RGBA;
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    EXPECT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) << id << " " << image.message;
  }
}
