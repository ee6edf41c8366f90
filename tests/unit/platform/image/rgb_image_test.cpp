#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>

#include "platform/image/rgb_image.h"

namespace {

// Encodes a picture in memory, so the tests need no files.
std::vector<uint8_t> encodeJpeg(const platform::RgbImage& image, int quality = 95) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = image.width;
  info.image_height = image.height;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(image.at(0, static_cast<int>(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<uint8_t> bytes(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  free(buffer);
  return bytes;
}

platform::RgbImage solid(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
  platform::RgbImage image;
  image.width = w;
  image.height = h;
  image.pixels.resize(static_cast<size_t>(w) * h * 3);
  for (size_t i = 0; i < image.pixels.size(); i += 3) {
    image.pixels[i] = r;
    image.pixels[i + 1] = g;
    image.pixels[i + 2] = b;
  }
  return image;
}

TEST(DecodeJpeg, ReadsSizeAndColours) {
  auto bytes = encodeJpeg(solid(152, 112, 20, 40, 200));
  platform::RgbImage out;
  ASSERT_TRUE(platform::decodeJpeg(bytes.data(), bytes.size(), out));
  EXPECT_EQ(out.width, 152);
  EXPECT_EQ(out.height, 112);
  const uint8_t* p = out.at(76, 56);
  EXPECT_NEAR(p[0], 20, 3);
  EXPECT_NEAR(p[1], 40, 3);
  EXPECT_NEAR(p[2], 200, 3);
}

TEST(DecodeJpeg, RefusesDamagedInput) {
  auto bytes = encodeJpeg(solid(64, 64, 200, 10, 10));
  platform::RgbImage out;
  // Truncated: libjpeg would pad it out with grey and only warn.
  EXPECT_FALSE(platform::decodeJpeg(bytes.data(), bytes.size() / 2, out));
  EXPECT_TRUE(out.empty());
  std::vector<uint8_t> garbage(500, 0x5a);
  EXPECT_FALSE(platform::decodeJpeg(garbage.data(), garbage.size(), out));
  EXPECT_FALSE(platform::decodeJpeg(nullptr, 0, out));
  EXPECT_FALSE(platform::decodeJpeg(bytes.data(), 3, out));
}

TEST(ScaleBilinear, KeepsCornersAndBlendsBetweenThem) {
  platform::RgbImage source = solid(2, 1, 0, 0, 0);
  source.at(1, 0)[0] = 200;
  platform::RgbImage wide = platform::scaleBilinear(source, 5, 3);
  ASSERT_EQ(wide.width, 5);
  ASSERT_EQ(wide.height, 3);
  EXPECT_EQ(wide.at(0, 0)[0], 0);
  EXPECT_EQ(wide.at(4, 2)[0], 200);
  EXPECT_EQ(wide.at(2, 1)[0], 100);
  EXPECT_EQ(wide.at(1, 0)[0], 50);
}

TEST(ScaleBilinear, SameSizeIsACopyAndBadSizesGiveNothing) {
  platform::RgbImage source = solid(3, 2, 1, 2, 3);
  source.at(2, 1)[1] = 99;
  EXPECT_EQ(platform::scaleBilinear(source, 3, 2).pixels, source.pixels);
  EXPECT_TRUE(platform::scaleBilinear(source, 0, 5).empty());
  EXPECT_TRUE(platform::scaleBilinear(platform::RgbImage{}, 5, 5).empty());
}

}  // namespace
