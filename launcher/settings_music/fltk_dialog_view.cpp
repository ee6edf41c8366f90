#include "launcher/settings_music/fltk_dialog_view.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/Fl_Menu_Button.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <cstring>

#include "launcher/button/fltk_command_button.h"
#include "launcher/button/property_bag.h"
#include "launcher/settings_music/dialog_chooser.h"
#include "launcher/settings_music/dialog_gradient.h"
#include "launcher/settings_music/dialog_layout.h"
#include "launcher/settings_music/dialog_pictures.h"
#include "launcher/settings_music/x11_dialog_zoom.h"
#include "launcher/settings_music/settings.h"
#include "platform/x11/x11_util.h"

namespace dialog {

// Paints `rows` (one colour per line, from dialog_gradient.h) over the area
// (x, y, w, h) of the current drawing surface, one horizontal line each.
static void paintLines(const std::vector<LineColour>& rows, int x, int y, int w, int h) {
  for (int row = 0; row < h && row < static_cast<int>(rows.size()); ++row) {
    const LineColour& c = rows[static_cast<size_t>(row)];
    fl_color(fl_rgb_color(c.r, c.g, c.b));
    fl_xyline(x, y + row, x + w - 1);
  }
}

// Pic_C(0): a sunken 2-pixel edge round an inner area painted as the grey
// gradient; holds the music controls.
class GradientPanel : public Fl_Group {
 public:
  GradientPanel(int x, int y, int w, int h) : Fl_Group(x, y, w, h) {
    box(FL_NO_BOX);
    color(fl_rgb_color(224, 224, 224));  // the plain colour under the gradient
  }

  void draw() override {
    // The edge of a sunken client area: grey and dark grey at the top and
    // left, white and light grey at the bottom and right.
    const int l = x(), t = y(), r = x() + w() - 1, b = y() + h() - 1;
    fl_color(fl_rgb_color(128, 128, 128));
    fl_xyline(l, t, r - 1);
    fl_yxline(l, t, b - 1);
    fl_color(fl_rgb_color(64, 64, 64));
    fl_xyline(l + 1, t + 1, r - 2);
    fl_yxline(l + 1, t + 1, b - 2);
    fl_color(fl_rgb_color(255, 255, 255));
    fl_xyline(l, b, r);
    fl_yxline(r, t, b);
    fl_color(fl_rgb_color(212, 208, 200));
    fl_xyline(l + 1, b - 1, r - 1);
    fl_yxline(r - 1, t + 1, b - 1);

    const int innerW = w() - 2 * kPanelEdge, innerH = h() - 2 * kPanelEdge;
    fl_push_clip(x() + kPanelEdge, y() + kPanelEdge, innerW, innerH);
    paintLines(panelGradient(innerH), x() + kPanelEdge, y() + kPanelEdge, innerW, innerH);
    // Every child in full: the background under them has just been painted
    // again, and the labels have none of their own.
    for (int i = 0; i < children(); ++i) draw_child(*child(i));
    fl_pop_clip();
  }
};

// A windowless widget that draws nothing of its own box and can run a
// handler when a mouse button (any button) goes down on it: the music
// choices take effect on the press, not on the release.
class PressableWidget : public Fl_Widget {
 public:
  PressableWidget(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) { box(FL_NO_BOX); }
  void onPress(std::function<void()> handler) { onPress_ = std::move(handler); }
  int handle(int event) override {
    if (event == FL_PUSH && onPress_) {
      onPress_();
      return 1;
    }
    return Fl_Widget::handle(event);
  }

 private:
  std::function<void()> onPress_;
};

// A label: black text in the dialog's font on a transparent background,
// drawn as it is (no FLTK "@" symbols). A mouse press on it can select a
// music choice.
class TextLabel : public PressableWidget {
 public:
  TextLabel(int x, int y, int w, int h, const char* text, Fl_Align align)
      : PressableWidget(x, y, w, h), text_(text ? text : "") {
    align_ = align;
  }
  void setText(const std::string& text) {
    text_ = text;
    if (parent()) parent()->redraw();
  }

  void draw() override {
    if (text_.empty()) return;
    fl_font(platform::uiFont(), kFontPixels);
    fl_color(FL_BLACK);
    fl_draw(text_.c_str(), x(), y(), w(), h(), align_, nullptr, 0);
  }

 private:
  std::string text_;
  Fl_Align align_;
};

// Img_BGM(i): shows one of the two marker pictures at its top-left corner;
// the rest of its 13 x 13 box shows the panel behind it.
class ChoiceMarker : public PressableWidget {
 public:
  ChoiceMarker(int x, int y, int w, int h) : PressableWidget(x, y, w, h) {}
  void setPicture(const platform::RgbImage* picture) {
    picture_ = picture;
    if (parent()) parent()->redraw();
  }

  void draw() override {
    if (!picture_ || picture_->empty()) return;
    fl_draw_image(picture_->pixels.data(), x(), y(), picture_->width, picture_->height, 3);
  }

 private:
  const platform::RgbImage* picture_ = nullptr;
};

namespace {

Box inPanel(const Box& b) { return {kPanelInner.x + b.x, kPanelInner.y + b.y, b.w, b.h}; }

button::CommandButton* makeButton(const Box& b, const char* caption) {
  auto* button = new button::CommandButton(b.x, b.y, b.w, b.h, caption);
  // What the dialog's layout data holds for each of its buttons.
  button::PropertyBag layout;
  layout.set("Caption", std::string(caption));
  layout.set("Font", button::CaptionFont{});
  button->load(layout);
  return button;
}

constexpr Fl_Align kLeftTop = FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_TOP;

}  // namespace

Kelvara_P::Kelvara_P(const std::string& settingsPath)
    : Fl_Double_Window(kDialogWidth, kDialogHeight, kCaption), rules_(*this, settingsPath) {
  color(fl_rgb_color(192, 192, 192));
  // Fixed size.
  size_range(kDialogWidth, kDialogHeight, kDialogWidth, kDialogHeight);

  // Children in keyboard-focus order where it matters: the panel (track field
  // before "..."), then "設定", "ｷｬﾝｾﾙ", "その他の作品".
  panel_ = new GradientPanel(kPanel.x, kPanel.y, kPanel.w, kPanel.h);
  {
    Box frame = inPanel(kHeadingFrame);
    auto* outline = new Fl_Box(frame.x, frame.y, frame.w, frame.h);
    outline->box(FL_BORDER_FRAME);
    outline->color(FL_BLACK);
    Box heading = inPanel(kHeadingLabel);
    new TextLabel(heading.x, heading.y, heading.w, heading.h, kHeadingText,
                  FL_ALIGN_INSIDE | FL_ALIGN_CENTER | FL_ALIGN_TOP);

    for (int i = 0; i < kChoiceCount; ++i) {
      Box m = inPanel(kMarkers[i]);
      markers_[i] = new ChoiceMarker(m.x, m.y, m.w, m.h);
      markers_[i]->onPress([this, i] { rules_.selectChoice(i); });
      Box l = inPanel(kChoiceLabels[i]);
      auto* label = new TextLabel(l.x, l.y, l.w, l.h, kChoiceTexts[i], kLeftTop);
      label->onPress([this, i] { rules_.selectChoice(i); });
    }

    Box t = inPanel(kTrackCombo);
    track_ = new Fl_Input_Choice(t.x, t.y, t.w, t.h);
    track_->input()->color(FL_WHITE);
    track_->textfont(platform::uiFont());
    track_->textsize(kFontPixels);
    track_->menubutton()->textfont(platform::uiFont());
    track_->menubutton()->textsize(kFontPixels);
    // Tab goes from the field straight to "...", not to the list's arrow.
    track_->menubutton()->visible_focus(0);
    track_->callback(onTrackPicked);
    Box tl = inPanel(kTrackLabel);
    new TextLabel(tl.x, tl.y, tl.w, tl.h, kTrackText, kLeftTop);

    fileButton_ = makeButton(inPanel(kFileButton), kFileButtonText);
    fileButton_->onClick([this](button::CommandButton&) { rules_.pickFile(); });
    Box f = inPanel(kFileLabel);
    fileLabel_ = new TextLabel(f.x, f.y, f.w, f.h, "",
                               kLeftTop | FL_ALIGN_WRAP | FL_ALIGN_CLIP);
  }
  panel_->end();

  saveButton_ = makeButton(kSaveButton, kSaveButtonText);
  saveButton_->onClick([this](button::CommandButton&) { rules_.saveAndClose(); });
  cancelButton_ = makeButton(kCancelButton, kCancelButtonText);
  cancelButton_->onClick([this](button::CommandButton&) { rules_.cancel(); });
  webButton_ = makeButton(kWebButton, kWebButtonText);
  webButton_->onClick([this](button::CommandButton&) { rules_.openWebPage(); });
  end();

  // The close box and Escape close without saving.
  callback(onCloseRequest);

  const platform::RgbImage& picture = dialogIcon();
  if (!picture.empty()) {
    icon_ = std::make_unique<Fl_RGB_Image>(picture.pixels.data(), picture.width, picture.height, 3);
    icon(icon_.get());
  }
}

Kelvara_P::~Kelvara_P() = default;

void Kelvara_P::draw() {
  paintLines(dialogGradient(h()), 0, 0, w(), h());
  for (int i = 0; i < children(); ++i) draw_child(*child(i));
}

void Kelvara_P::show() {
  Fl_Double_Window::show();
  setWindowManagerHints();
}

// No minimise and no maximise button, and no resizing, where the window
// manager honours the Motif hints (most do); size_range already asks for a
// fixed size.
void Kelvara_P::setWindowManagerHints() {
  Display* d = fl_display;
  if (!d || !shown()) return;
  struct {
    unsigned long flags, functions, decorations;
    long inputMode;
    unsigned long status;
  } hints{};
  constexpr unsigned long kFunctions = 1, kDecorations = 2;
  constexpr unsigned long kFuncMove = 4, kFuncClose = 32;
  constexpr unsigned long kDecorBorder = 2, kDecorTitle = 8, kDecorMenu = 16;
  hints.flags = kFunctions | kDecorations;
  hints.functions = kFuncMove | kFuncClose;
  hints.decorations = kDecorBorder | kDecorTitle | kDecorMenu;
  platform::xErrorTrapBegin();
  Atom motif = XInternAtom(d, "_MOTIF_WM_HINTS", False);
  XChangeProperty(d, fl_xid(this), motif, motif, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&hints), 5);
  platform::xErrorTrapEnd(d);
}

void Kelvara_P::onCloseRequest(Fl_Widget* window, void*) {
  static_cast<Kelvara_P*>(window)->rules_.cancel();
}

void Kelvara_P::onLoad() { rules_.load(); }

void Kelvara_P::onUnload() {
  rules_.unload();
  hide();
}

bool Kelvara_P::screenArea(int& left, int& top, int& width, int& height) {
  if (!platform::display()) return false;
  // The screen with the pointer on it, where the user is looking.
  Fl::screen_xywh(left, top, width, height);
  return width > 0 && height > 0;
}

void Kelvara_P::moveTo(int left, int top) { position(left, top); }

void Kelvara_P::initButtons() {
  for (button::CommandButton* b : {fileButton_, webButton_, saveButton_, cancelButton_}) b->Initialize();
}

void Kelvara_P::enableTrackField(bool enabled) {
  if (enabled) {
    track_->activate();
  } else {
    track_->deactivate();
  }
}

void Kelvara_P::enableFileButton(bool enabled) { fileButton_->Enabled(enabled); }

void Kelvara_P::showMarker(int index, bool selected) {
  if (index >= 0 && index < kChoiceCount) markers_[index]->setPicture(&markerPicture(selected));
}

void Kelvara_P::setTrackText(const std::string& text) { track_->value(text.c_str()); }

std::string Kelvara_P::trackText() {
  const char* text = track_->value();
  return text ? text : "";
}

// FLTK's menus cannot hold an item with an empty label, so the list's empty
// item ("no repeat") is a blank one; picking it empties the field.
static constexpr const char* kBlankItem = " ";

void Kelvara_P::addTrackItem(const std::string& text) {
  track_->menubutton()->add(text.empty() ? kBlankItem : text.c_str());
}

void Kelvara_P::onTrackPicked(Fl_Widget* field, void*) {
  auto* track = static_cast<Fl_Input_Choice*>(field);
  const char* text = track->value();
  if (text && std::strcmp(text, kBlankItem) == 0) track->value("");
}

void Kelvara_P::showFileName(const std::string& path) { fileLabel_->setText(path); }

bool Kelvara_P::pointerPosition(long& x, long& y) {
  Display* d = platform::display();
  if (!d) return false;
  Window root = DefaultRootWindow(d), rootOut = 0, child = 0;
  int rootX = 0, rootY = 0, winX = 0, winY = 0;
  unsigned int mask = 0;
  platform::xErrorTrapBegin();
  Bool on = XQueryPointer(d, root, &rootOut, &child, &rootX, &rootY, &winX, &winY, &mask);
  if (!platform::xErrorTrapEnd(d) || !on) return false;
  x = rootX;
  y = rootY;
  return true;
}

void Kelvara_P::zoomOpen() { ZoomOpen(*this); }

void Kelvara_P::zoomClose() { ZoomClose(*this); }

void Kelvara_P::setBusyPointer(bool busy) {
  if (shown()) cursor(busy ? FL_CURSOR_WAIT : FL_CURSOR_DEFAULT);
}

bool Kelvara_P::chooseMusicFile(std::string& path) { return dialog::chooseMusicFile(BGMFile, path); }

bool Kelvara_P::openPage(const std::string& address) {
  return pages_.open(address, [this] { rules_.pageSettled(); });
}

void Kelvara_P::close() { unload(); }

}  // namespace dialog
