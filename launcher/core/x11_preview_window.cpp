#include "launcher/core/x11_preview_window.h"

#include <X11/Xutil.h>

#include <cstdlib>
#include <cstring>

#include "launcher/core/preview_rules.h"
#include "platform/x11/x11_util.h"

namespace preview {
namespace {

// One channel's share of a TrueColor pixel value, from its mask.
unsigned long channelBits(uint8_t value, unsigned long mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (!((mask >> shift) & 1)) ++shift;
  unsigned long max = mask >> shift;
  return ((static_cast<unsigned long>(value) * max + 127) / 255) << shift;
}

}  // namespace

PreviewWindow::~PreviewWindow() { release(); }

void PreviewWindow::release() {
  if (!display_) return;
  platform::xErrorTrapBegin();
  if (gc_) XFreeGC(display_, gc_);
  if (window_ != None && !gone_) XDestroyWindow(display_, window_);
  platform::xErrorTrapEnd(display_);
  gc_ = nullptr;
  window_ = None;
}

bool PreviewWindow::open(Display* display, Window host, const platform::RgbImage& picture,
                         int twipsPerPixel) {
  if (!display || host == None) return false;
  display_ = display;
  host_ = host;
  picture_ = picture;
  twipsPerPixel_ = twipsPerPixel;

  XWindowAttributes hostAttributes;
  platform::xErrorTrapBegin();
  Status known = XGetWindowAttributes(display_, host_, &hostAttributes);
  if (!platform::xErrorTrapEnd(display_) || !known) return false;
  width_ = previewExtent(hostAttributes.width, twipsPerPixel_);
  height_ = previewExtent(hostAttributes.height, twipsPerPixel_);

  int screen = DefaultScreen(display_);
  XSetWindowAttributes attributes{};
  attributes.background_pixel = BlackPixel(display_, screen);
  attributes.border_pixel = BlackPixel(display_, screen);
  attributes.event_mask = ExposureMask | StructureNotifyMask;
  // Made unshown under the root first, then handed to the host, as the
  // host's program expects of a preview.
  platform::xErrorTrapBegin();
  window_ = XCreateWindow(display_, RootWindow(display_, screen), 0, 0,
                          static_cast<unsigned>(width_ > 0 ? width_ : 1),
                          static_cast<unsigned>(height_ > 0 ? height_ : 1), 0, CopyFromParent,
                          InputOutput, CopyFromParent, CWBackPixel | CWBorderPixel | CWEventMask,
                          &attributes);
  XStoreName(display_, window_, "Preview Window");
  // Follow the host's size and notice when it goes.
  XSelectInput(display_, host_, StructureNotifyMask);
  XReparentWindow(display_, window_, host_, 0, 0);
  XMoveResizeWindow(display_, window_, 0, 0, static_cast<unsigned>(width_ > 0 ? width_ : 1),
                    static_cast<unsigned>(height_ > 0 ? height_ : 1));
  gc_ = XCreateGC(display_, window_, 0, nullptr);
  XMapWindow(display_, window_);
  if (!platform::xErrorTrapEnd(display_)) {
    release();
    return false;
  }
  resizeTo(width_, height_);
  return true;
}

void PreviewWindow::resizeTo(int width, int height) {
  width_ = width;
  height_ = height;
  scaled_ = (width_ > 0 && height_ > 0) ? platform::scaleBilinear(picture_, width_, height_)
                                         : platform::RgbImage{};
}

bool PreviewWindow::handle(const XEvent& event) {
  if (gone_) return false;
  switch (event.type) {
    case Expose:
      if (event.xexpose.window == window_ && event.xexpose.count == 0) paint();
      break;
    case ConfigureNotify:
      if (event.xconfigure.window == host_) {
        int w = previewExtent(event.xconfigure.width, twipsPerPixel_);
        int h = previewExtent(event.xconfigure.height, twipsPerPixel_);
        if (w != width_ || h != height_) {
          platform::xErrorTrapBegin();
          XResizeWindow(display_, window_, static_cast<unsigned>(w > 0 ? w : 1),
                        static_cast<unsigned>(h > 0 ? h : 1));
          platform::xErrorTrapEnd(display_);
          resizeTo(w, h);
          paint();
        }
      }
      break;
    case DestroyNotify:
      if (event.xdestroywindow.window == window_ || event.xdestroywindow.window == host_)
        gone_ = true;
      break;
    case ReparentNotify:
      // Taken out of the host by someone else: the preview has ended.
      if (event.xreparent.window == window_ && event.xreparent.parent != host_) gone_ = true;
      break;
    default:
      break;
  }
  return !gone_;
}

void PreviewWindow::paint() {
  if (!display_ || window_ == None || gone_ || scaled_.empty()) return;
  int screen = DefaultScreen(display_);
  Visual* visual = DefaultVisual(display_, screen);
  int depth = DefaultDepth(display_, screen);
  XImage* image = XCreateImage(display_, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                               static_cast<unsigned>(scaled_.width),
                               static_cast<unsigned>(scaled_.height), 32, 0);
  if (!image) return;
  image->data = static_cast<char*>(std::calloc(static_cast<size_t>(image->bytes_per_line),
                                               static_cast<size_t>(scaled_.height)));
  if (!image->data) {
    XDestroyImage(image);
    return;
  }
  for (int y = 0; y < scaled_.height; ++y) {
    for (int x = 0; x < scaled_.width; ++x) {
      const uint8_t* p = scaled_.at(x, y);
      XPutPixel(image, x, y,
                channelBits(p[0], visual->red_mask) | channelBits(p[1], visual->green_mask) |
                    channelBits(p[2], visual->blue_mask));
    }
  }
  platform::xErrorTrapBegin();
  XPutImage(display_, window_, gc_, image, 0, 0, 0, 0, static_cast<unsigned>(scaled_.width),
            static_cast<unsigned>(scaled_.height));
  platform::xErrorTrapEnd(display_);
  XDestroyImage(image);  // frees the pixel data too
}

}  // namespace preview
