// The still preview `Kelvara_R` on Windows: a borderless child of the host
// window that the screen-saver settings give with /p, as large as the host,
// showing the preview picture scaled to that size, and ending when the host
// or the preview window goes.
#include <windows.h>

#include <cmath>
#include <cstddef>
#include <memory>

#include "launcher/core/modes.h"
#include "launcher/core/preview_rules.h"
#include "platform/image/rgb_image.h"
#include "platform/image/win32_bitmap.h"
#include "platform/runtime/win32_runtime.h"

// assets/preview.jpg, compiled in.
extern const unsigned char kPreviewJpeg[];
extern const std::size_t kPreviewJpeg_size;

namespace {

constexpr wchar_t kPreviewClass[] = L"Kelvara_R";
// How often the host is looked at: its size, and whether it is still there
// (its program may end without destroying our child in an orderly way).
constexpr unsigned kHostWatchMs = 200;

class PreviewForm : public platform::Form {
 public:
  bool open(HWND host) {
    if (!host || !IsWindow(host)) return false;
    host_ = host;
    // A damaged picture leaves the preview black rather than failing it.
    platform::decodeJpeg(kPreviewJpeg, kPreviewJpeg_size, picture_);
    twipsPerPixel_ = static_cast<int>(std::lround(platform::twipsPerPixelX()));
    if (!registerClass()) return false;
    int width = 0, height = 0;
    extentOfHost(width, height);
    window_ = CreateWindowExW(0, kPreviewClass, L"Preview Window", WS_CHILD | WS_VISIBLE, 0, 0,
                              width > 0 ? width : 1, height > 0 ? height : 1, host_, nullptr,
                              platform::instance(), this);
    if (!window_) return false;
    resizeTo(width, height);
    return true;
  }

 protected:
  void onLoad() override {
    watch_ = std::make_unique<platform::Timer>(kHostWatchMs, true, [this] { watchHost(); });
  }
  void onUnload() override {
    watch_.reset();
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    window_ = nullptr;
  }

 private:
  static bool registerClass() {
    static bool registered = false;
    if (registered) return true;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = platform::instance();
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kPreviewClass;
    registered = RegisterClassW(&windowClass) != 0;
    return registered;
  }

  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<PreviewForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
      case WM_PAINT:
        if (self) {
          self->paint(window);
          return 0;
        }
        break;
      case WM_DESTROY:
        // The host destroys its children when it goes, also when the host's
        // program dies: the preview has ended.
        if (self && self->window_ == window) {
          self->window_ = nullptr;
          if (self->isLoaded()) self->unload();
        }
        break;
      default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  void extentOfHost(int& width, int& height) const {
    RECT client{};
    GetClientRect(host_, &client);
    width = preview::previewExtent(client.right - client.left, twipsPerPixel_);
    height = preview::previewExtent(client.bottom - client.top, twipsPerPixel_);
  }

  void resizeTo(int width, int height) {
    width_ = width;
    height_ = height;
    scaled_ = (width > 0 && height > 0) ? platform::scaleBilinear(picture_, width, height)
                                        : platform::RgbImage{};
  }

  void watchHost() {
    if (!IsWindow(host_) || !window_ || GetParent(window_) != host_) {
      unload();
      return;
    }
    int width = 0, height = 0;
    extentOfHost(width, height);
    if (width == width_ && height == height_) return;
    SetWindowPos(window_, nullptr, 0, 0, width > 0 ? width : 1, height > 0 ? height : 1,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    resizeTo(width, height);
    InvalidateRect(window_, nullptr, FALSE);
  }

  void paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    platform::drawPicture(dc, scaled_, 0, 0);
    EndPaint(window, &ps);
  }

  HWND host_ = nullptr;
  HWND window_ = nullptr;
  platform::RgbImage picture_;
  platform::RgbImage scaled_;
  int twipsPerPixel_ = 15;
  int width_ = 0;
  int height_ = 0;
  std::unique_ptr<platform::Timer> watch_;
};

}  // namespace

void previewSetup(int64_t hostWindow) {
  // No host, or one that is not there: a preview nobody can see would keep
  // the launcher alive for ever, so end at once instead.
  if (hostWindow <= 0) platform::endLauncher();
  HWND host = reinterpret_cast<HWND>(static_cast<uintptr_t>(hostWindow));
  static std::unique_ptr<PreviewForm> form(new PreviewForm);
  if (!form->open(host)) platform::endLauncher();
  form->load();
}
