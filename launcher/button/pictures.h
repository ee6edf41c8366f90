// The six 64 x 25 frame pictures of the button, made by code. Only their outer
// ring, four pixels deep, ever reaches the screen; the middle of the face is
// the gradient.
#pragma once

#include "launcher/button/image.h"

namespace button {

enum class Picture { Normal, HighLight, HighLightSelect, Selected, Pressed, Disable };

constexpr int kPictureWidth = 64;
constexpr int kPictureHeight = 25;

// The picture, built once and kept for the life of the process.
const Image& picture(Picture which);

const char* pictureName(Picture which);

// Colours of the ring that tests and screenshots tell the looks apart by.
constexpr Rgb kFrameBlue = rgbHex(0x003C74);
constexpr Rgb kFrameDisabled = rgbHex(0xC9C7BA);

}  // namespace button
