#include "launcher/button/win32_command_button.h"

#include <windowsx.h>

#include <array>
#include <cmath>

#include "launcher/button/face_painter.h"
#include "launcher/button/pictures.h"
#include "platform/image/win32_bitmap.h"

namespace button {

const wchar_t* const kCommandClassName = L"Kelvara.Command";

namespace {

constexpr UINT_PTR kPointerWatchTimer = 1;

COLORREF toColorRef(Rgb c) { return RGB(c.r, c.g, c.b); }

// A caption colour as GDI shows it: system colours are the system's own.
COLORREF captionColour(uint32_t colour) {
  if ((colour & 0xFF000000u) == 0x80000000u) return GetSysColor(static_cast<int>(colour & 0xFFu));
  return colour & 0x00FFFFFFu;
}

// The six pictures as bitmaps, made once from the rules' pictures.
HBITMAP pictureBitmap(Picture which) {
  static std::array<HBITMAP, 6> bitmaps{};
  HBITMAP& slot = bitmaps[static_cast<size_t>(which)];
  if (!slot) slot = platform::makeBitmap(picture(which));
  return slot;
}

bool registerClass() {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSEXW c{};
  c.cbSize = sizeof c;
  c.lpfnWndProc = DefWindowProcW;  // replaced per window once it is ours
  c.hInstance = GetModuleHandleW(nullptr);
  c.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  c.lpszClassName = kCommandClassName;
  registered = RegisterClassExW(&c) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return registered;
}

}  // namespace

std::wstring widen(const std::string& utf8) {
  if (utf8.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

HFONT createCaptionFont(const CaptionFont& font, int dpi) {
  // Points to pixels: 9.75 points is 13 pixels at 96 dots per inch, 20 at
  // 144. A negative height asks for the character height, as point sizes
  // mean.
  long pixels = std::lround(font.size * (dpi > 0 ? dpi : 96) / 72.0);
  if (pixels < 1) pixels = 1;
  std::wstring face = widen(font.face);
  if (face.size() >= LF_FACESIZE) face.resize(LF_FACESIZE - 1);
  return CreateFontW(-static_cast<int>(pixels), 0, 0, 0, font.weight, font.italic ? TRUE : FALSE,
                     font.underline ? TRUE : FALSE, font.strikeout ? TRUE : FALSE,
                     static_cast<DWORD>(font.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

void Win32CommandButton::setDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_) return;
  dpi_ = dpi;
  dirty_ = true;
  if (window_) InvalidateRect(window_, nullptr, FALSE);
}

Win32CommandButton::Win32CommandButton(HWND parent, int x, int y, int w, int h, const std::string& caption)
    : rules_(this) {
  if (registerClass()) {
    window_ = CreateWindowExW(0, kCommandClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, x, y, w, h, parent,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  if (window_) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32CommandButton::windowProc));
  }
  rules_.sizeChanged(w, h);
  rules_.Caption(caption);
  syncWindowEnabled();
}

Win32CommandButton::~Win32CommandButton() {
  if (window_) {
    KillTimer(window_, kPointerWatchTimer);
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW));
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    if (IsWindow(window_)) DestroyWindow(window_);
  }
  if (surfaceDc_) {
    SelectObject(surfaceDc_, surfaceOld_);
    DeleteDC(surfaceDc_);
  }
  if (surfaceBitmap_) DeleteObject(surfaceBitmap_);
  if (font_) DeleteObject(font_);
}

void Win32CommandButton::load(const PropertyBag& bag) {
  rules_.load(bag);
  syncWindowEnabled();
}

void Win32CommandButton::save(PropertyBag& bag) { rules_.save(bag); }

bool Win32CommandButton::Enabled() {
  bool answer = rules_.Enabled();
  syncWindowEnabled();
  return answer;
}

void Win32CommandButton::Enabled(bool value) {
  rules_.Enabled(value);
  syncWindowEnabled();
}

void Win32CommandButton::syncWindowEnabled() {
  if (!window_) return;
  bool on = rules_.enabledFlag();
  if ((IsWindowEnabled(window_) != FALSE) != on) EnableWindow(window_, on ? TRUE : FALSE);
}

LRESULT CALLBACK Win32CommandButton::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Win32CommandButton*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  return self->handle(message, wParam, lParam);
}

LRESULT Win32CommandButton::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      mouseDown(MouseButton::Left);
      return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      mouseDown(MouseButton::Right);
      return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      mouseDown(MouseButton::Middle);
      return 0;
    case WM_LBUTTONUP:
      mouseUp(MouseButton::Left);
      return 0;  // the Click handler may have ended the dialog: touch nothing more
    case WM_RBUTTONUP:
      mouseUp(MouseButton::Right);
      return 0;
    case WM_MBUTTONUP:
      mouseUp(MouseButton::Middle);
      return 0;
    case WM_MOUSEMOVE:
      pointerMoved();
      return 0;
    case WM_SETFOCUS:
      if (!hasFocus_) {
        hasFocus_ = true;
        rules_.focusGained();
      }
      return 0;
    case WM_KILLFOCUS:
      if (hasFocus_) {
        hasFocus_ = false;
        rules_.focusLost();
      }
      return 0;
    case WM_SIZE: {
      int w = GET_X_LPARAM(lParam), h = GET_Y_LPARAM(lParam);
      if (w != surfaceW_ || h != surfaceH_ || rules_.surface().width != w || rules_.surface().height != h) {
        rules_.sizeChanged(w, h);
      }
      return 0;
    }
    case WM_TIMER:
      if (wParam == kPointerWatchTimer) watchPointer();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the surface covers the whole window
    case WM_PAINT:
      paint();
      return 0;
    case WM_PRINTCLIENT:
      // The face as it stands, into another device context (PrintWindow,
      // AnimateWindow and tests ask this way).
      if (dirty_ || !surfaceDc_) {
        renderSurface();
        dirty_ = false;
      }
      if (surfaceDc_) BitBlt(reinterpret_cast<HDC>(wParam), 0, 0, surfaceW_, surfaceH_, surfaceDc_, 0, 0, SRCCOPY);
      return 0;
    case WM_GETDLGCODE:
      return 0;  // keys do nothing here; the dialog keeps Tab and Escape
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

void Win32CommandButton::mouseDown(MouseButton which) {
  // The pointer may have jumped onto the button and pressed at once; tell
  // the rules about the move first, or the press finds the button not
  // hovered and its click is lost.
  POINT p{};
  if (GetCursorPos(&p) && (p.x != lastMove_.x || p.y != lastMove_.y)) pointerMoved();
  // A left press on an enabled button takes the focus first, as a click on
  // a push button does; the focus change reaches the rules before the press.
  if (which == MouseButton::Left && rules_.enabledFlag() && GetFocus() != window_) SetFocus(window_);
  // The button keeps getting its mouse events while a button is held, also
  // outside: its release must reach it.
  SetCapture(window_);
  rules_.mouseDown(which);
}

void Win32CommandButton::mouseUp(MouseButton which) {
  // Capture ends with the last held button.
  bool anyHeld = (GetKeyState(VK_LBUTTON) < 0 && which != MouseButton::Left) ||
                 (GetKeyState(VK_RBUTTON) < 0 && which != MouseButton::Right) ||
                 (GetKeyState(VK_MBUTTON) < 0 && which != MouseButton::Middle);
  if (!anyHeld && GetCapture() == window_) ReleaseCapture();
  rules_.mouseUp(which);  // may raise Click as its last step
}

void Win32CommandButton::pointerMoved() {
  POINT p{};
  if (GetCursorPos(&p)) lastMove_ = p;
  rules_.mouseMove();
}

void Win32CommandButton::watchPointer() {
  POINT p{};
  if (!GetCursorPos(&p)) return;  // nothing known this tick; the next one asks again
  rules_.pointerWatch(WindowFromPoint(p) == window_);
}

void Win32CommandButton::refresh() {
  dirty_ = true;
  if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void Win32CommandButton::propertyChanged(const std::string& name) {
  if (changedHandler_) changedHandler_(name);
}

void Win32CommandButton::startPointerWatch(int intervalMs) {
  if (window_) SetTimer(window_, kPointerWatchTimer, static_cast<UINT>(intervalMs), nullptr);
}

void Win32CommandButton::click() {
  if (clickHandler_) clickHandler_();
}

void Win32CommandButton::renderSurface() {
  RECT client{};
  GetClientRect(window_, &client);
  const int w = client.right, h = client.bottom;
  if (w <= 0 || h <= 0) return;
  if (!surfaceDc_ || w != surfaceW_ || h != surfaceH_) {
    HDC screen = GetDC(window_);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    if (!surfaceDc_) {
      surfaceDc_ = CreateCompatibleDC(screen);
      surfaceOld_ = SelectObject(surfaceDc_, bitmap);
    } else {
      SelectObject(surfaceDc_, bitmap);
    }
    ReleaseDC(window_, screen);
    if (surfaceBitmap_) DeleteObject(surfaceBitmap_);
    surfaceBitmap_ = bitmap;
    surfaceW_ = w;
    surfaceH_ = h;
  }
  HDC dc = surfaceDc_;

  // A transparent backdrop shows the dialog's face colour behind the caption.
  if (rules_.backdrop() == Backdrop::Transparent) {
    RECT all{0, 0, w, h};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    drawCaption(dc);
    return;
  }

  // The clear.
  HBRUSH clear = CreateSolidBrush(toColorRef(kClearColour));
  RECT all{0, 0, w, h};
  FillRect(dc, &all, clear);
  DeleteObject(clear);

  // The gradient: one rectangle (0, 0)-(w - 1, h - 1) in vertical mode; the
  // right-most column and bottom row it leaves out are under the frame.
  Colour16 light = gradientColour(kGradientLightText);
  Colour16 dark = gradientColour(kGradientDarkText);
  const Colour16& top = rules_.reverseGradient() ? dark : light;
  const Colour16& bottom = rules_.reverseGradient() ? light : dark;
  if (w > 1 && h > 1) {
    TRIVERTEX v[2] = {{0, 0, top.red, top.green, top.blue, 0},
                      {w - 1, h - 1, bottom.red, bottom.green, bottom.blue, 0}};
    GRADIENT_RECT r{0, 1};
    GradientFill(dc, v, 2, &r, 1, GRADIENT_FILL_RECT_V);
  }

  // The eight frame pieces of the shown picture, stretched by nearest pixel.
  if (HBITMAP bitmap = pictureBitmap(rules_.shownPicture())) {
    HDC pictureDc = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(pictureDc, bitmap);
    int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    for (const FramePiece& piece : framePieces(w, h)) {
      const Rect& d = piece.destination;
      const Rect& s = piece.source;
      if (!piece.fits || d.w <= 0 || d.h <= 0) continue;
      StretchBlt(dc, d.x, d.y, d.w, d.h, pictureDc, s.x, s.y, s.w, s.h, SRCCOPY);
    }
    SetStretchBltMode(dc, oldMode);
    SelectObject(pictureDc, old);
    DeleteDC(pictureDc);
  }
  drawCaption(dc);
}

void Win32CommandButton::drawCaption(HDC dc) {
  const CaptionLabel& label = rules_.caption();
  if (label.text.empty()) return;
  if (!font_ || *label.font != fontMadeFrom_ || fontDpi_ != dpi_) {
    if (font_) DeleteObject(font_);
    font_ = createCaptionFont(*label.font, dpi_);
    fontMadeFrom_ = *label.font;
    fontDpi_ = dpi_;
  }
  std::wstring text = widen(label.text);
  int top = label.topPixels();
  const int width = label.widthTwips / kTwipsPerPixel;
  int height = CaptionLabel::kHeightTwips / kTwipsPerPixel;
  if (dpi_ != 96) {
    // The rules place a 13-pixel caption in the face; a caption of the
    // larger font goes where that place lies at this scale: the face's
    // height less the scaled caption and margin, halved.
    const double scale = dpi_ / 96.0;
    height = static_cast<int>(std::lround(height * scale));
    top = static_cast<int>(std::lround(
        (surfaceH_ * static_cast<double>(kTwipsPerPixel) - (CaptionLabel::kHeightTwips + 20) * scale) / 2.0 /
        kTwipsPerPixel));
  }
  HGDIOBJ oldFont = SelectObject(dc, font_);
  int oldMode = SetBkMode(dc, TRANSPARENT);
  const UINT format = DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP;
  auto textAt = [&](int dx, int dy, COLORREF colour) {
    SetTextColor(dc, colour);
    RECT r{dx, top + dy, dx + width, top + dy + height};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
  };
  if (label.enabled) {
    textAt(0, 0, captionColour(label.colour));
  } else {
    // The system's greyed text: a light copy one pixel down and to the
    // right, the grey text over it.
    textAt(1, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    textAt(0, 0, GetSysColor(COLOR_GRAYTEXT));
  }
  SetBkMode(dc, oldMode);
  SelectObject(dc, oldFont);
}

void Win32CommandButton::paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window_, &ps);
  RECT client{};
  GetClientRect(window_, &client);
  if (dirty_ || !surfaceDc_ || client.right != surfaceW_ || client.bottom != surfaceH_) {
    renderSurface();
    dirty_ = false;
  }
  if (surfaceDc_) BitBlt(dc, 0, 0, surfaceW_, surfaceH_, surfaceDc_, 0, 0, SRCCOPY);
  EndPaint(window_, &ps);
}

}  // namespace button
