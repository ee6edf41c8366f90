// Fonts of the launcher's FLTK windows. The layout data names Windows faces;
// on Linux the Japanese gothic faces are shown with IPA P Gothic (package
// fonts-ipafont-gothic), its metric-compatible stand-in. FLTK's own default
// font has no Japanese glyphs, so every caption and label goes through here.
#pragma once

#include <FL/Enumerations.H>

#include "launcher/button/property_bag.h"

namespace button {

// IPA P Gothic as an FLTK font number: the plain face is the runtime's
// platform::uiFont(); bold and italic ones are registered here on first use.
Fl_Font ipaPGothicFont(bool bold = false, bool italic = false);

// The FLTK font for a caption font: the gothic faces ("ＭＳ Ｐゴシック" and
// its kin) map to IPA P Gothic, any other face is asked of fontconfig by
// name. Weight 600 and above is bold. Plain IPA P Gothic is
// platform::uiFont(); the others are registered once each, in slots from
// FL_FREE_FONT upwards (the runtime's slot lies above them).
Fl_Font fltkFont(const CaptionFont& font);

// The pixel size of a caption font at 15 twips (96 dots) per pixel: 9.75
// points is 13 pixels.
Fl_Fontsize fltkFontSize(const CaptionFont& font);

}  // namespace button
