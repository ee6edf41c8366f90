// The settings dialog's layout in pixels (its layout data is kept in twips,
// 15 to a pixel, and every value is a whole number of pixels). Positions
// inside the panel are relative to the panel's inner area.
#pragma once

namespace dialog {

struct Box {
  int x, y, w, h;
};

// The window's client area and the two plain background colours under the
// gradients.
constexpr int kDialogWidth = 479;
constexpr int kDialogHeight = 252;

// Pic_C(0): the panel holding the music controls. Its 2-pixel sunken edge
// lies inside this box, so its inner area is 4 pixels smaller each way.
constexpr Box kPanel{12, 16, 453, 169};
constexpr int kPanelEdge = 2;
constexpr Box kPanelInner{kPanel.x + kPanelEdge, kPanel.y + kPanelEdge, kPanel.w - 2 * kPanelEdge,
                          kPanel.h - 2 * kPanelEdge};

// Inside the panel.
constexpr Box kHeadingFrame{20, 20, 113, 21};  // Shape3(3)
constexpr Box kHeadingLabel{20, 24, 111, 13};  // lbl(15) "BGM", centred
constexpr Box kTrackCombo{92, 52, 41, 20};     // BGM_Repeat; 20 high at the 13-pixel font
constexpr Box kTrackLabel{136, 56, 66, 13};    // lbl(14)
constexpr Box kFileButton{36, 116, 29, 21};    // Cmd_BGM "..."
constexpr Box kFileLabel{68, 116, 357, 29};    // lbl_Fname

// Markers (Img_BGM) and labels (lbl_BGM) by choice index = BGMKind:
// 0 none (middle row), 1 audio CD (top row), 2 MP3/WAV file (bottom row).
constexpr int kChoiceCount = 3;
constexpr Box kMarkers[kChoiceCount] = {{20, 76, 13, 13}, {20, 56, 13, 13}, {20, 96, 13, 13}};
constexpr Box kChoiceLabels[kChoiceCount] = {{36, 76, 23, 13}, {36, 56, 43, 13}, {36, 96, 60, 13}};

// On the dialog.
constexpr Box kWebButton{192, 200, 125, 25};     // Cmd_Etc
constexpr Box kSaveButton{320, 200, 73, 25};     // Cmd_Set
constexpr Box kCancelButton{396, 200, 69, 25};   // Cmd_Can

// The marker pictures (Img_Ra) are 12 x 12, drawn at the top-left corner of
// the 13 x 13 markers.
constexpr int kMarkerPictureSize = 12;

// Texts, as the dialog shows them (UTF-8).
constexpr const char* kCaption = "<Miravel>";
constexpr const char* kHeadingText = "BGM";
constexpr const char* kTrackText = "曲目をﾘﾋﾟｰﾄ";
constexpr const char* kChoiceTexts[kChoiceCount] = {"無し", "音楽CD", "MP3、WAV"};
constexpr const char* kFileButtonText = "...";
constexpr const char* kWebButtonText = "その他の作品";
constexpr const char* kSaveButtonText = "設定";
constexpr const char* kCancelButtonText = "ｷｬﾝｾﾙ";

// Labels and buttons: "ＭＳ Ｐゴシック" 9.75 points, 13 pixels at 96 dpi.
constexpr int kFontPixels = 13;

// The layout is in pixels at 96 dots per inch; at another logical DPI every
// place and size is that many times larger (144 dpi: 1.5 times), rounded to
// the nearest pixel with halves away from zero, as the system's MulDiv.
constexpr int kLayoutDpi = 96;
constexpr int scaledForDpi(int value, int dpi) {
  const long long product = static_cast<long long>(value) * (dpi > 0 ? dpi : kLayoutDpi);
  const long long half = kLayoutDpi / 2;
  return static_cast<int>(product >= 0 ? (product + half) / kLayoutDpi : -((-product + half) / kLayoutDpi));
}
constexpr Box scaledForDpi(const Box& b, int dpi) {
  return Box{scaledForDpi(b.x, dpi), scaledForDpi(b.y, dpi), scaledForDpi(b.w, dpi), scaledForDpi(b.h, dpi)};
}

}  // namespace dialog
