#include "launcher/settings_music/win32_dialog_view.h"

#include <commdlg.h>
#include <shellapi.h>

#include <vector>

#include "launcher/button/property_bag.h"
#include "launcher/button/win32_command_button.h"
#include "launcher/settings_music/dialog_chooser.h"
#include "launcher/settings_music/dialog_gradient.h"
#include "launcher/settings_music/dialog_layout.h"
#include "launcher/settings_music/dialog_pictures.h"
#include "launcher/settings_music/dialog_zoom.h"
#include "platform/image/win32_bitmap.h"
#include "platform/runtime/win32_runtime.h"
#include "platform/text/win32_cp932.h"

namespace dialog {
namespace {

const wchar_t* const kDialogClass = L"Kelvara_P";
const wchar_t* const kPanelClass = L"Kelvara_P.Panel";
constexpr DWORD kDialogStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kDialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr UINT kPageSettled = WM_APP + 1;
constexpr int kTrackId = 100;
// The drop-down list of the track field shows about ten items at once.
constexpr int kTrackListHeight = 160;

// The panel's plain colour (224, 224, 224) and the dialog's (192, 192, 192)
// lie under the gradients; they show only where a gradient is not drawn.
COLORREF lineColour(const LineColour& c) { return RGB(c.r, c.g, c.b); }

// Paints `rows` over (0, 0, w, h) of `dc`, one horizontal line each.
void paintLines(HDC dc, const std::vector<LineColour>& rows, int w, int h) {
  for (int y = 0; y < h && y < static_cast<int>(rows.size()); ++y) {
    HBRUSH brush = CreateSolidBrush(lineColour(rows[static_cast<size_t>(y)]));
    RECT line{0, y, w, y + 1};
    FillRect(dc, &line, brush);
    DeleteObject(brush);
  }
}

// The 32 x 32 window icon from the dialog's picture; null without one.
HICON makeIcon(const platform::RgbImage& picture) {
  if (picture.empty()) return nullptr;
  HBITMAP colour = platform::makeBitmap(picture, 0xFF);  // opaque everywhere
  if (!colour) return nullptr;
  HBITMAP mask = CreateBitmap(picture.width, picture.height, 1, 1, nullptr);
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = colour;
  info.hbmMask = mask;
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(colour);
  DeleteObject(mask);
  return icon;
}

bool registerClasses() {
  static bool done = false;
  if (done) return true;
  HINSTANCE instance = platform::instance();
  WNDCLASSEXW dialogClass{};
  dialogClass.cbSize = sizeof dialogClass;
  dialogClass.lpfnWndProc = DefWindowProcW;
  dialogClass.hInstance = instance;
  dialogClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  dialogClass.hbrBackground = CreateSolidBrush(RGB(192, 192, 192));
  dialogClass.lpszClassName = kDialogClass;
  WNDCLASSEXW panelClass = dialogClass;
  panelClass.hbrBackground = CreateSolidBrush(RGB(224, 224, 224));
  panelClass.lpszClassName = kPanelClass;
  bool a = RegisterClassExW(&dialogClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  bool b = RegisterClassExW(&panelClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  done = a && b;
  return done;
}

bool inside(const Box& b, int x, int y) { return x >= b.x && y >= b.y && x < b.x + b.w && y < b.y + b.h; }

std::unique_ptr<button::Win32CommandButton> makeButton(HWND parent, const Box& b, const char* caption) {
  auto made = std::make_unique<button::Win32CommandButton>(parent, b.x, b.y, b.w, b.h, caption);
  // What the dialog's layout data holds for each of its buttons.
  button::PropertyBag layout;
  layout.set("Caption", std::string(caption));
  layout.set("Font", button::CaptionFont{});
  made->load(layout);
  return made;
}

// Windowless label text: black, transparent background, the dialog's font.
void drawLabel(HDC dc, const std::wstring& text, const RECT& box, UINT format) {
  if (text.empty()) return;
  RECT r = box;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_NOPREFIX);
}

RECT rectOf(const Box& b) { return RECT{b.x, b.y, b.x + b.w, b.y + b.h}; }

// The DPI functions of Windows 10 (user32) and 8.1 (shcore), looked up when
// first needed so the program still starts on Windows 7, which has one DPI
// for everything (GetDeviceCaps). Loaded from the system folder only: on
// Windows 7 there is no shcore.dll there, and one lying beside the program
// (a download folder) must not be run in its place. Where that search is
// unknown (Windows 7 without its update) nothing is loaded.
template <typename Fn>
Fn systemFunction(const wchar_t* library, const char* name) {
  HMODULE module = GetModuleHandleW(library);
  if (!module) module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

int systemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kLayoutDpi;
}

// The DPI of the primary monitor, where the dialog opens.
int primaryMonitorDpi() {
  using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const auto getDpiForMonitor = systemFunction<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
  UINT x = 0, y = 0;
  HMONITOR monitor = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  if (getDpiForMonitor && monitor && SUCCEEDED(getDpiForMonitor(monitor, 0 /* effective */, &x, &y)) && y > 0)
    return static_cast<int>(y);
  return systemDpi();
}

void adjustFrame(RECT& frame, DWORD style, DWORD exStyle, int dpi) {
  using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = systemFunction<AdjustForDpiFn>(L"user32.dll", "AdjustWindowRectExForDpi");
  if (adjustForDpi && adjustForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi))) return;
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
}

}  // namespace

RECT Win32SettingsDialog::frameAround(int left, int top) const {
  RECT frame{left, top, left + scaled(kDialogWidth), top + scaled(kDialogHeight)};
  adjustFrame(frame, kDialogStyle, kDialogExStyle, dpi_);
  return frame;
}

void Win32SettingsDialog::placeChildren() {
  auto place = [](HWND child, const Box& b) {
    if (child) SetWindowPos(child, nullptr, b.x, b.y, b.w, b.h, SWP_NOZORDER | SWP_NOACTIVATE);
  };
  place(panel_, at(kPanel));
  if (track_) {
    const Box combo = at(kTrackCombo);
    SetWindowPos(track_, nullptr, combo.x, combo.y, combo.w, scaled(kTrackListHeight), SWP_NOZORDER | SWP_NOACTIVATE);
    if (font_) SendMessageW(track_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    if (dpi_ != kLayoutDpi) {
      // The closed field is as high as its font makes it; at another DPI it
      // is made the layout's height at that DPI, as at 96 dpi.
      RECT r{};
      GetWindowRect(track_, &r);
      const LRESULT item = SendMessageW(track_, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
      const int grow = combo.h - (r.bottom - r.top);
      if (item > 0 && item + grow > 0)
        SendMessageW(track_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), static_cast<LPARAM>(item + grow));
    }
  }
  const std::pair<button::Win32CommandButton*, Box> buttons[] = {
      {fileButton_.get(), kFileButton}, {saveButton_.get(), kSaveButton},
      {cancelButton_.get(), kCancelButton}, {webButton_.get(), kWebButton}};
  for (const auto& [b, box] : buttons) {
    if (!b) continue;
    b->setDpi(dpi_);
    place(b->window(), at(box));
  }
}

void Win32SettingsDialog::dpiChanged(int dpi, const RECT& suggested) {
  if (dpi <= 0) return;
  dpi_ = dpi;
  HFONT old = font_;
  button::CaptionFont captionFont{};
  font_ = button::createCaptionFont(captionFont, dpi_);
  placeChildren();
  if (old) DeleteObject(old);
  SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(window_, nullptr, TRUE);
  if (panel_) InvalidateRect(panel_, nullptr, FALSE);
}

Win32SettingsDialog::Win32SettingsDialog(const std::string& settingsPath, HWND owner)
    : rules_(*this, settingsPath) {
  if (!registerClasses()) return;
  HINSTANCE instance = platform::instance();
  // Laid out for the monitor it opens on; WM_DPICHANGED follows it to others.
  dpi_ = primaryMonitorDpi();
  const RECT frame = frameAround(0, 0);
  window_ = CreateWindowExW(kDialogExStyle, kDialogClass, platform::wideFromUtf8(kCaption).c_str(), kDialogStyle,
                            CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                            owner, nullptr, instance, nullptr);
  if (!window_) return;
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32SettingsDialog::dialogProc));

  font_ = button::createCaptionFont(button::CaptionFont{}, dpi_);
  icon_ = makeIcon(dialogIcon());
  if (icon_) {
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  }

  // Pic_C(0): its 2-pixel sunken edge is the system's client edge, so its
  // client area is the panel's inner area the layout counts from.
  panel_ = CreateWindowExW(WS_EX_CLIENTEDGE | WS_EX_CONTROLPARENT, kPanelClass, L"",
                           WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, at(kPanel).x, at(kPanel).y, at(kPanel).w,
                           at(kPanel).h, window_,
                           nullptr, instance, nullptr);
  if (panel_) {
    SetWindowLongPtrW(panel_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(panel_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32SettingsDialog::panelProc));
  }

  // Children in keyboard-focus order: the track field and "..." inside the
  // panel, then "設定", "ｷｬﾝｾﾙ", "その他の作品".
  track_ = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN,
                           at(kTrackCombo).x, at(kTrackCombo).y, at(kTrackCombo).w, scaled(kTrackListHeight),
                           panel_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTrackId)), instance, nullptr);
  if (track_ && font_) SendMessageW(track_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);

  fileButton_ = makeButton(panel_, kFileButton, kFileButtonText);
  fileButton_->onClick([this] { rules_.pickFile(); });
  saveButton_ = makeButton(window_, kSaveButton, kSaveButtonText);
  saveButton_->onClick([this] { rules_.saveAndClose(); });
  cancelButton_ = makeButton(window_, kCancelButton, kCancelButtonText);
  cancelButton_->onClick([this] { rules_.cancel(); });
  webButton_ = makeButton(window_, kWebButton, kWebButtonText);
  webButton_->onClick([this] { rules_.openWebPage(); });
  placeChildren();
}

Win32SettingsDialog::~Win32SettingsDialog() {
  fileButton_.reset();
  saveButton_.reset();
  cancelButton_.reset();
  webButton_.reset();
  if (panel_) SetWindowLongPtrW(panel_, GWLP_USERDATA, 0);
  if (window_) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    if (IsWindow(window_)) DestroyWindow(window_);
  }
  if (font_) DeleteObject(font_);
  if (icon_) DestroyIcon(icon_);
}

// ---- Window procedures --------------------------------------------------------

LRESULT CALLBACK Win32SettingsDialog::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Win32SettingsDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  return self->handleDialog(message, wParam, lParam);
}

LRESULT CALLBACK Win32SettingsDialog::panelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Win32SettingsDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  return self->handlePanel(message, wParam, lParam);
}

LRESULT Win32SettingsDialog::handleDialog(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers the whole client area
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window_, &ps);
      paintDialog(dc);
      EndPaint(window_, &ps);
      return 0;
    }
    case WM_COMMAND:
      // Escape (through the modal loop's dialog keys) closes without saving.
      if (LOWORD(wParam) == IDCANCEL) rules_.cancel();
      return 0;
    case WM_CLOSE:
      rules_.cancel();  // the close box saves nothing
      return 0;
    case WM_SETCURSOR:
      if (busy_) {
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
        return TRUE;
      }
      break;
    case kPageSettled:
      rules_.pageSettled();
      return 0;
    case WM_DPICHANGED:
      dpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    // The keyboard focus goes to a control, as in a dialog box: the one that
    // had it when the window was last active, else the first that takes it
    // (the track field, or "..." while the track field is disabled).
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window_, focus)) lastFocus_ = focus;
      }
      break;
    case WM_SETFOCUS: {
      HWND target = lastFocus_;
      if (!target || !IsWindow(target) || !IsWindowEnabled(target) || !IsChild(window_, target)) {
        target = GetNextDlgTabItem(window_, nullptr, FALSE);
      }
      if (target) SetFocus(target);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT Win32SettingsDialog::handlePanel(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(panel_, &ps);
      paintPanel(dc);
      EndPaint(panel_, &ps);
      return 0;
    }
    // A press of any mouse button on a marker or its label picks the choice.
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      pressOnPanel(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      break;  // the track field keeps its white background
    default:
      break;
  }
  return DefWindowProcW(panel_, message, wParam, lParam);
}

void Win32SettingsDialog::paintDialog(HDC dc) {
  RECT client{};
  GetClientRect(window_, &client);
  paintLines(dc, dialogGradient(client.bottom), client.right, client.bottom);
}

void Win32SettingsDialog::paintPanel(HDC target) {
  RECT client{};
  GetClientRect(panel_, &client);
  const int w = client.right, h = client.bottom;
  if (w <= 0 || h <= 0) return;
  // Drawn off screen first, so that the labels never flicker over the lines.
  HDC dc = CreateCompatibleDC(target);
  HBITMAP bitmap = CreateCompatibleBitmap(target, w, h);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  paintLines(dc, panelGradient(h), w, h);

  // Shape3(3): the black frame round the heading.
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  const Box frame = at(kHeadingFrame);
  Rectangle(dc, frame.x, frame.y, frame.x + frame.w, frame.y + frame.h);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);

  HGDIOBJ oldFont = SelectObject(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  drawLabel(dc, platform::wideFromUtf8(kHeadingText), rectOf(at(kHeadingLabel)), DT_CENTER | DT_TOP | DT_SINGLELINE);
  for (int i = 0; i < kChoiceCount; ++i) {
    drawLabel(dc, platform::wideFromUtf8(kChoiceTexts[i]), rectOf(at(kChoiceLabels[i])), DT_LEFT | DT_TOP | DT_SINGLELINE);
  }
  drawLabel(dc, platform::wideFromUtf8(kTrackText), rectOf(at(kTrackLabel)), DT_LEFT | DT_TOP | DT_SINGLELINE);
  // lbl_Fname: long paths wrap, breaking inside names where they must.
  drawLabel(dc, fileName_, rectOf(at(kFileLabel)), DT_LEFT | DT_TOP | DT_WORDBREAK | DT_EDITCONTROL);
  SelectObject(dc, oldFont);

  for (int i = 0; i < kChoiceCount; ++i) {
    if (!markerShown_[i]) continue;
    const Box marker = at(kMarkers[i]);
    const int size = scaled(kMarkerPictureSize);
    platform::drawPicture(dc, markerPicture(markerSelected_[i]), marker.x, marker.y, size, size);
  }

  BitBlt(target, 0, 0, w, h, dc, 0, 0, SRCCOPY);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

void Win32SettingsDialog::pressOnPanel(int x, int y) {
  for (int i = 0; i < kChoiceCount; ++i) {
    if (inside(at(kMarkers[i]), x, y) || inside(at(kChoiceLabels[i]), x, y)) {
      rules_.selectChoice(i);
      return;
    }
  }
}

void Win32SettingsDialog::invalidateInPanel(int x, int y, int w, int h) {
  if (!panel_) return;
  RECT r{x, y, x + w, y + h};
  InvalidateRect(panel_, &r, FALSE);
}

// ---- Form ---------------------------------------------------------------------

void Win32SettingsDialog::onLoad() { rules_.load(); }

void Win32SettingsDialog::onUnload() {
  rules_.unload();
  if (window_) ShowWindow(window_, SW_HIDE);
}

// ---- What the rules ask -------------------------------------------------------

bool Win32SettingsDialog::screenArea(int& left, int& top, int& width, int& height) {
  left = 0;
  top = 0;
  width = GetSystemMetrics(SM_CXSCREEN);
  height = GetSystemMetrics(SM_CYSCREEN);
  // The rules place a dialog of the layout's size; the area is made smaller
  // by what this dialog is larger at its DPI, so that it lands where the
  // rules mean it to (centred across, a third down).
  width -= scaled(kDialogWidth) - kDialogWidth;
  height -= scaled(kDialogHeight) - kDialogHeight;
  return width > 0 && height > 0;
}

void Win32SettingsDialog::moveTo(int left, int top) {
  if (!window_) return;
  const RECT frame = frameAround(left, top);
  SetWindowPos(window_, nullptr, frame.left, frame.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32SettingsDialog::initButtons() {
  for (auto* b : {fileButton_.get(), webButton_.get(), saveButton_.get(), cancelButton_.get()}) {
    if (b) b->Initialize();
  }
}

void Win32SettingsDialog::enableTrackField(bool enabled) {
  if (track_) EnableWindow(track_, enabled ? TRUE : FALSE);
  if (!enabled) keepFocus();
}

void Win32SettingsDialog::enableFileButton(bool enabled) {
  if (fileButton_) fileButton_->Enabled(enabled);
  if (!enabled) keepFocus();
}

// Disabling the control that has the focus leaves no window with it, and
// keys (Tab, Escape) would then reach nothing: the focus moves on to the
// first control that takes it.
void Win32SettingsDialog::keepFocus() {
  if (window_ && GetActiveWindow() == window_ && !GetFocus()) SetFocus(window_);
}

void Win32SettingsDialog::showMarker(int index, bool selected) {
  if (index < 0 || index >= kChoiceCount) return;
  markerShown_[index] = true;
  markerSelected_[index] = selected;
  const Box marker = at(kMarkers[index]);
  invalidateInPanel(marker.x, marker.y, marker.w, marker.h);
}

void Win32SettingsDialog::setTrackText(const std::string& text) {
  if (track_) SetWindowTextW(track_, platform::wideFromUtf8(text).c_str());
}

std::string Win32SettingsDialog::trackText() {
  if (!track_) return {};
  int n = GetWindowTextLengthW(track_);
  if (n <= 0) return {};
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  n = GetWindowTextW(track_, text.data(), n + 1);
  text.resize(static_cast<size_t>(n > 0 ? n : 0));
  return platform::utf8FromWide(text);
}

void Win32SettingsDialog::addTrackItem(const std::string& text) {
  if (track_) SendMessageW(track_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::wideFromUtf8(text).c_str()));
}

void Win32SettingsDialog::showFileName(const std::string& path) {
  // The music path is kept in the system's ANSI code page.
  fileName_ = platform::wideFromAnsi(path);
  const Box label = at(kFileLabel);
  invalidateInPanel(label.x, label.y, label.w, label.h);
}

bool Win32SettingsDialog::pointerPosition(long& x, long& y) {
  POINT p{};
  if (!GetCursorPos(&p)) return false;
  x = p.x;
  y = p.y;
  return true;
}

void Win32SettingsDialog::animate(const RECT& from, const RECT& to) {
  if (window_) DrawAnimatedRects(window_, IDANI_CAPTION, &from, &to);
}

void Win32SettingsDialog::zoomOpen() {
  RECT r{};
  if (!window_ || !GetWindowRect(window_, &r)) return;
  ScreenRect point = zoomPointRect();
  animate(RECT{point.left, point.top, point.right, point.bottom}, r);
}

void Win32SettingsDialog::zoomClose() {
  RECT r{};
  if (!window_ || !GetWindowRect(window_, &r)) return;
  ScreenRect point = zoomPointRect();
  animate(r, RECT{point.left, point.top, point.right, point.bottom});
}

void Win32SettingsDialog::setBusyPointer(bool busy) {
  busy_ = busy;
  SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(busy ? 32514 : 32512)));  // IDC_WAIT, IDC_ARROW
}

bool Win32SettingsDialog::chooseMusicFile(std::string& path) {
  // The filter: one entry, its description and its patterns, each ended by
  // a zero, the list by a second zero.
  std::wstring filter = platform::wideFromUtf8(kFilterDescription);
  filter.push_back(L'\0');
  filter += platform::wideFromUtf8(kFilterPatterns);
  filter.push_back(L'\0');
  filter.push_back(L'\0');
  std::wstring title = platform::wideFromUtf8(kChooserTitle);
  wchar_t file[255] = {};
  wchar_t fileTitle[255] = {};
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = window_;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = 255;
  ofn.lpstrFileTitle = fileTitle;
  ofn.nMaxFileTitle = 255;
  ofn.lpstrTitle = title.c_str();
  ofn.Flags = 0;  // a typed name is taken even when no such file exists
  if (!GetOpenFileNameW(&ofn)) return false;  // cancel, or a path too long for the buffer
  // Stored in the ANSI code page, as the settings file and the multimedia
  // functions take it: a path that code page cannot write is refused.
  std::string chosen;
  if (!platform::ansiFromWide(std::wstring(file), chosen)) return false;
  path = chosen;
  return true;
}

bool Win32SettingsDialog::openPage(const std::string& address) {
  auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(window_, "open", address.c_str(), "", "", SW_SHOWNORMAL));
  if (result <= 32) return false;
  // The shell has handed the page over by now; the busy pointer goes once
  // the messages queued meanwhile are served.
  PostMessageW(window_, kPageSettled, 0, 0);
  return true;
}

void Win32SettingsDialog::close() { unload(); }

}  // namespace dialog
