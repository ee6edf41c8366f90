// Kelvara_P on Windows: the settings dialog "<Miravel>" as a Win32 window
// drawn with GDI. Like its FLTK twin (fltk_dialog_view.h) it lays out the controls
// of dialog_layout.h, paints the two background gradients, passes the user's
// actions to the rules (dialog_rules.h) and carries out what they ask. It is
// a form of the launcher's runtime: load() runs the rules' load steps
// unshown; then show window() with platform::showModal(). It unloads itself
// when it closes ("設定", "ｷｬﾝｾﾙ", the close box or Escape): the zoom back
// to the pointer, then the window is hidden and the modal display returns.
//
// Windows: the dialog (class "Kelvara_P"), the panel Pic_C(0) as a child
// with a sunken edge, a combo box for BGM_Repeat and four gradient buttons
// (Win32CommandButton). Labels and markers are windowless: the panel paints
// them over its gradient and takes the mouse presses on them.
//
// Everything the user reads goes through the wide-character functions
// (texts of the layout are UTF-8, the music path is in the ANSI code page),
// so it shows right whatever the system's ANSI code page.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "launcher/settings_music/dialog_layout.h"
#include "launcher/settings_music/dialog_rules.h"
#include "platform/runtime/runtime.h"

namespace button {
class Win32CommandButton;
}

namespace dialog {

class Win32SettingsDialog : public platform::Form, private SettingsDialogView {
 public:
  // `settingsPath`: the settings file "設定" writes.
  // `owner`: the window the dialog belongs to (null: none).
  explicit Win32SettingsDialog(const std::string& settingsPath, HWND owner = nullptr);
  ~Win32SettingsDialog() override;
  Win32SettingsDialog(const Win32SettingsDialog&) = delete;
  Win32SettingsDialog& operator=(const Win32SettingsDialog&) = delete;

  HWND window() const { return window_; }

 private:
  // platform::Form.
  void onLoad() override;
  void onUnload() override;

  // SettingsDialogView.
  bool screenArea(int& left, int& top, int& width, int& height) override;
  void moveTo(int left, int top) override;
  void initButtons() override;
  void enableTrackField(bool enabled) override;
  void enableFileButton(bool enabled) override;
  void showMarker(int index, bool selected) override;
  void setTrackText(const std::string& text) override;
  std::string trackText() override;
  void addTrackItem(const std::string& text) override;
  void showFileName(const std::string& path) override;
  bool pointerPosition(long& x, long& y) override;
  void zoomOpen() override;
  void zoomClose() override;
  void setBusyPointer(bool busy) override;
  bool chooseMusicFile(std::string& path) override;
  bool openPage(const std::string& address) override;
  void close() override;

  static LRESULT CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK panelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleDialog(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handlePanel(UINT message, WPARAM wParam, LPARAM lParam);
  void paintDialog(HDC dc);
  void paintPanel(HDC dc);
  void pressOnPanel(int x, int y);
  // Repaints the part of the panel a windowless control covers.
  void invalidateInPanel(int x, int y, int w, int h);
  void animate(const RECT& from, const RECT& to);
  void keepFocus();
  // The layout's boxes at the dialog's DPI.
  Box at(const Box& b) const { return scaledForDpi(b, dpi_); }
  int scaled(int v) const { return scaledForDpi(v, dpi_); }
  // The client area's size at the dialog's DPI, and the window's frame
  // around a client area at (left, top).
  RECT frameAround(int left, int top) const;
  // Places the children, and the track field's font, at the dialog's DPI.
  void placeChildren();
  // WM_DPICHANGED: the dialog moved to a monitor of another scaling.
  void dpiChanged(int dpi, const RECT& suggested);

  SettingsDialogRules rules_;
  HWND window_ = nullptr;
  HWND panel_ = nullptr;
  HWND track_ = nullptr;
  HFONT font_ = nullptr;
  HICON icon_ = nullptr;
  std::unique_ptr<button::Win32CommandButton> fileButton_, webButton_, saveButton_, cancelButton_;
  bool markerSelected_[3] = {false, false, false};
  bool markerShown_[3] = {false, false, false};
  std::wstring fileName_;
  bool busy_ = false;
  HWND lastFocus_ = nullptr;
  // The logical DPI the dialog is laid out for: its monitor's.
  int dpi_ = kLayoutDpi;
};

}  // namespace dialog
