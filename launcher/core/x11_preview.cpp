// The still preview inside the preview area of a screen-saver settings
// program: `Kelvara_R` showing the preview picture, living as long as the
// host keeps it.
#include <FL/Fl.H>
#include <X11/Xlib.h>

#include <cmath>
#include <cstddef>
#include <memory>

#include "launcher/core/modes.h"
#include "launcher/core/x11_preview_window.h"
#include "platform/image/rgb_image.h"
#include "platform/runtime/fltk_runtime.h"

// assets/preview.jpg, compiled in.
extern const unsigned char kPreviewJpeg[];
extern const std::size_t kPreviewJpeg_size;

namespace {

class PreviewForm : public platform::Form {
 public:
  bool open(Display* display, Window host) {
    platform::RgbImage picture;
    // A damaged picture leaves the preview black rather than failing it.
    platform::decodeJpeg(kPreviewJpeg, kPreviewJpeg_size, picture);
    int twipsPerPixel = static_cast<int>(std::lround(platform::twipsPerPixelX()));
    return window_.open(display, host, picture, twipsPerPixel);
  }

 protected:
  void onLoad() override { Fl::add_system_handler(&PreviewForm::onEvent, this); }
  void onUnload() override { Fl::remove_system_handler(&PreviewForm::onEvent); }

 private:
  // Sees every X event the launcher reads, before FLTK, which knows nothing
  // of this window.
  static int onEvent(void* event, void* data) {
    auto* self = static_cast<PreviewForm*>(data);
    if (self->isLoaded() && !self->window_.handle(*static_cast<XEvent*>(event))) self->unload();
    return 0;
  }

  preview::PreviewWindow window_;
};

}  // namespace

void previewSetup(int64_t hostWindow) {
  Display* display = platform::display();
  // No host, or one that is not there: a preview nobody can see would keep
  // the launcher alive for ever, so end at once instead.
  if (!display || hostWindow <= 0) platform::endLauncher();
  static std::unique_ptr<PreviewForm> form(new PreviewForm);
  if (!form->open(display, static_cast<Window>(hostWindow))) platform::endLauncher();
  form->load();
}
