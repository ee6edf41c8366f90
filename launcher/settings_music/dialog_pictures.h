// The settings dialog's pictures, compiled in from assets/ (made by
// assets/make_dialog_pictures.sh): the two 12 x 12 marker pictures (Img_Ra 0
// and 1) and the 32 x 32 window icon. Decoded once; an empty image if a
// picture could not be decoded (the dialog then draws no marker).
#pragma once

#include "platform/image/rgb_image.h"

namespace dialog {

// Img_Ra(1) when `selected` (a square filled with blue), else Img_Ra(0) (an
// empty light square with a grey border).
const platform::RgbImage& markerPicture(bool selected);

const platform::RgbImage& dialogIcon();

}  // namespace dialog
