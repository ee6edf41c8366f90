// The still preview `Kelvara_R`: a borderless black X window, made a child of
// the host window that a screen-saver settings program gives us, showing the
// preview picture scaled to the host's size.
#pragma once

#include <X11/Xlib.h>

#include "platform/image/rgb_image.h"

namespace preview {

class PreviewWindow {
 public:
  PreviewWindow() = default;
  ~PreviewWindow();
  PreviewWindow(const PreviewWindow&) = delete;
  PreviewWindow& operator=(const PreviewWindow&) = delete;

  // Puts the preview into `host` at (0, 0) with the host's size and shows it.
  // False when the host does not exist (or vanishes meanwhile): nothing is
  // left behind then.
  bool open(Display* display, Window host, const platform::RgbImage& picture, int twipsPerPixel);

  // Feeds one event read from the display. Returns false once the preview is
  // gone: its window destroyed (the host destroys its children when it goes,
  // also when the host's program dies) or the host itself destroyed.
  bool handle(const XEvent& event);

  Window window() const { return window_; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  void resizeTo(int width, int height);
  void paint();
  void release();

  Display* display_ = nullptr;
  Window host_ = None;
  Window window_ = None;
  GC gc_ = nullptr;
  platform::RgbImage picture_;
  platform::RgbImage scaled_;
  int twipsPerPixel_ = 15;
  int width_ = 0;
  int height_ = 0;
  bool gone_ = false;
};

}  // namespace preview
