#include "platform/image/rgb_image.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE declared first

#include <jpeglib.h>

namespace platform {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf escape;
};

void onFatal(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  std::longjmp(manager->escape, 1);
}

void onMessage(j_common_ptr, int) {}  // warnings are counted, never printed

}  // namespace

bool decodeJpeg(const uint8_t* data, size_t size, RgbImage& out) {
  out = RgbImage{};
  if (!data || size == 0) return false;
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = onFatal;
  errors.base.emit_message = onMessage;
  RgbImage image;
  if (setjmp(errors.escape)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  image.width = static_cast<int>(info.output_width);
  image.height = static_cast<int>(info.output_height);
  image.pixels.resize(static_cast<size_t>(image.width) * image.height * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image.at(0, static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  bool clean = errors.base.num_warnings == 0;
  jpeg_destroy_decompress(&info);
  if (!clean || image.empty()) return false;
  out = std::move(image);
  return true;
}

RgbImage scaleBilinear(const RgbImage& source, int width, int height) {
  RgbImage result;
  if (source.empty() || width < 1 || height < 1) return result;
  result.width = width;
  result.height = height;
  result.pixels.resize(static_cast<size_t>(width) * height * 3);
  auto map = [](int i, int outSize, int inSize) {
    return outSize > 1 ? static_cast<double>(i) * (inSize - 1) / (outSize - 1) : (inSize - 1) / 2.0;
  };
  for (int y = 0; y < height; ++y) {
    double sy = map(y, height, source.height);
    int y0 = static_cast<int>(std::floor(sy));
    int y1 = std::min(y0 + 1, source.height - 1);
    double fy = sy - y0;
    for (int x = 0; x < width; ++x) {
      double sx = map(x, width, source.width);
      int x0 = static_cast<int>(std::floor(sx));
      int x1 = std::min(x0 + 1, source.width - 1);
      double fx = sx - x0;
      for (int c = 0; c < 3; ++c) {
        double top = source.at(x0, y0)[c] * (1 - fx) + source.at(x1, y0)[c] * fx;
        double bottom = source.at(x0, y1)[c] * (1 - fx) + source.at(x1, y1)[c] * fx;
        result.at(x, y)[c] = static_cast<uint8_t>(std::lround(top * (1 - fy) + bottom * fy));
      }
    }
  }
  return result;
}

}  // namespace platform
