// Win32CommandButton: the Win32 view of the gradient push button
// ("Kelvara.Command"), drawn with GDI.
//
// Each button is a child window of class "Kelvara.Command" with a persistent
// drawing surface: a memory bitmap of the control's size that the face is
// drawn into (GradientFill for the gradient, StretchBlt of the eight frame
// pieces of the rules' picture, then the caption) and that WM_PAINT copies to
// the screen. The caption lives in the button's own window, so the pointer
// over the caption counts as over the button. The view only feeds mouse,
// focus, size and timer events to the rules (command.h); TmrMouse is a
// window timer of the button, asking GetCursorPos and WindowFromPoint.
//
// Use from a dialog (after its window exists):
//
//   button::Win32CommandButton set(dialogWindow, 320, 200, 73, 25, "設定");
//   button::PropertyBag layout;               // what the dialog's layout data holds
//   layout.set("Caption", std::string("設定"));
//   layout.set("Font", button::CaptionFont{});
//   set.load(layout);                         // enabled, black caption, Normal face
//   set.onClick([] { /* save and close */ });
//   set.Initialize();                         // hover look from now on
//
// Texts (caption, font face) are UTF-8 and shown through the wide-character
// functions, whatever the system's ANSI code page. Keys do nothing on the
// button. The Click handler runs as the very last step of the button's
// handling of a release; it must not destroy the button itself (end a modal
// loop or hide the dialog instead).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "launcher/button/command.h"

namespace button {

// The window class of every button; registered on first use.
extern const wchar_t* const kCommandClassName;  // L"Kelvara.Command"

class Win32CommandButton : private CommandHost {
 public:
  using ClickHandler = std::function<void()>;
  using PropertyChangedHandler = std::function<void(const std::string& name)>;

  // A child window of `parent` at (x, y), w x h pixels, showing `caption`
  // (UTF-8). Like every fresh button it is disabled, shows the Disable face
  // and has no hover look yet.
  Win32CommandButton(HWND parent, int x, int y, int w, int h, const std::string& caption = "Command");
  ~Win32CommandButton() override;
  Win32CommandButton(const Win32CommandButton&) = delete;
  Win32CommandButton& operator=(const Win32CommandButton&) = delete;

  HWND window() const { return window_; }

  // --- The button's operations (see command.h for their exact effects) ----
  void load(const PropertyBag& bag);
  void save(PropertyBag& bag);
  void Initialize() { rules_.Initialize(); }

  bool Enabled();
  void Enabled(bool value);
  std::string Caption() const { return rules_.Caption(); }
  void Caption(const std::string& text) { rules_.Caption(text); }
  std::shared_ptr<CaptionFont> Font() const { return rules_.Font(); }
  void Font(std::shared_ptr<CaptionFont> font) { rules_.Font(std::move(font)); }
  uint32_t FontColour() { return rules_.FontColour(); }
  void FontColour(uint32_t colour) { rules_.FontColour(colour); }
  uint8_t Visible() { return rules_.Visible(); }
  void Visible(uint8_t value) { rules_.Visible(value); }

  void onClick(ClickHandler handler) { clickHandler_ = std::move(handler); }
  void onPropertyChanged(PropertyChangedHandler handler) { changedHandler_ = std::move(handler); }
  void setAmbientFont(const CaptionFont& font) { ambientFont_ = font; }
  // The logical dots per inch of the monitor the button is on (96 by
  // default): the caption is drawn in a font of that size and placed in the
  // face as the 96-dpi layout places it, scaled; the face itself is drawn at
  // the window's size. The caller sizes the window.
  void setDpi(int dpi);

  // The rules and state, read without side effects.
  const Command& rules() const { return rules_; }

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

  // CommandHost.
  void refresh() override;
  void propertyChanged(const std::string& name) override;
  CaptionFont ambientFont() const override { return ambientFont_; }
  void startPointerWatch(int intervalMs) override;
  void click() override;

  void mouseDown(MouseButton which);
  void mouseUp(MouseButton which);
  void pointerMoved();
  void watchPointer();
  // Keeps the window's enabled flag with the rules', so that a disabled
  // button is passed over by the focus as a disabled push button is.
  void syncWindowEnabled();
  // Draws the face and the caption into the surface bitmap.
  void renderSurface();
  void drawCaption(HDC dc);
  void paint();

  HWND window_ = nullptr;
  Command rules_;
  ClickHandler clickHandler_;
  PropertyChangedHandler changedHandler_;
  CaptionFont ambientFont_;
  // The persistent drawing surface and whether it needs drawing again.
  HDC surfaceDc_ = nullptr;
  HBITMAP surfaceBitmap_ = nullptr;
  HGDIOBJ surfaceOld_ = nullptr;
  int surfaceW_ = 0, surfaceH_ = 0;
  bool dirty_ = true;
  // The caption font and the font object it was made from.
  HFONT font_ = nullptr;
  CaptionFont fontMadeFrom_;
  int fontDpi_ = 96;
  int dpi_ = 96;
  bool hasFocus_ = false;
  POINT lastMove_{-1000000, -1000000};
};

// UTF-8 to UTF-16 and back; invalid input gives what the system makes of it.
std::wstring widen(const std::string& utf8);

// The caption font as GDI makes it (CreateFontW): height in pixels at `dpi`
// dots per inch (96 unless given), weight, style and character set of `font`.
HFONT createCaptionFont(const CaptionFont& font, int dpi = 96);

}  // namespace button
