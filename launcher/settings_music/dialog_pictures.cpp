#include "launcher/settings_music/dialog_pictures.h"

#include <cstddef>

extern const unsigned char kMarkerOffJpeg[];
extern const std::size_t kMarkerOffJpeg_size;
extern const unsigned char kMarkerOnJpeg[];
extern const std::size_t kMarkerOnJpeg_size;
extern const unsigned char kDialogIconJpeg[];
extern const std::size_t kDialogIconJpeg_size;

namespace dialog {
namespace {

platform::RgbImage decode(const unsigned char* data, std::size_t size) {
  platform::RgbImage image;
  platform::decodeJpeg(data, size, image);
  return image;
}

}  // namespace

const platform::RgbImage& markerPicture(bool selected) {
  static const platform::RgbImage off = decode(kMarkerOffJpeg, kMarkerOffJpeg_size);
  static const platform::RgbImage on = decode(kMarkerOnJpeg, kMarkerOnJpeg_size);
  return selected ? on : off;
}

const platform::RgbImage& dialogIcon() {
  static const platform::RgbImage icon = decode(kDialogIconJpeg, kDialogIconJpeg_size);
  return icon;
}

}  // namespace dialog
