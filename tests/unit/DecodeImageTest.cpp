#include <gtest/gtest.h>

#include "tests/fakes/TestPng.h"
#include "ui/Image.h"
#include "ui/headless/DecodedImage.h"

namespace {

using ui::headless::DecodedImage;
using ui::headless::Rgba;

// A PNG decodes to its size and pixels, and the image keeps the bytes it came from.
TEST(DecodeImageTest, DecodesPngPixelsAndKeepsTheBytes) {
  const auto bytes = fakes::ThreeByTwoPng();
  const auto image = std::dynamic_pointer_cast<DecodedImage>(ui::DecodeImage(bytes));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->Width(), 3);
  EXPECT_EQ(image->Height(), 2);
  EXPECT_EQ(image->EncodedBytes(), bytes);
  EXPECT_EQ(image->PixelAt(0, 0), (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(image->PixelAt(2, 0), (Rgba{0, 0, 255, 255}));
  EXPECT_EQ(image->PixelAt(2, 1), (Rgba{128, 128, 128, 128}));
}

// Bytes that are not a whole picture give no image.
TEST(DecodeImageTest, RejectsWhatDoesNotDecode) {
  auto truncated = fakes::ThreeByTwoPng();
  truncated.resize(truncated.size() - 20);
  for (const auto& bytes : {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>{'<', 'h', 't', 'm', 'l', '>'},
                            truncated}) {
    EXPECT_EQ(ui::DecodeImage(bytes), nullptr) << bytes.size() << " bytes";
  }
}

}  // namespace
