// Window services: the hidden top-level window, modal display, the message
// box and the user-interface font.
#include "platform/runtime/fltk_runtime.h"

#include "platform/names/program_names.h"
#include "platform/x11/x11_util.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace platform {
namespace {

constexpr int kMessageFontSize = 13;  // 9.75 pt at 96 dpi, as the dialog's text
constexpr int kMargin = 16;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 24;
constexpr int kWrapWidth = 440;

void closeWindowOf(Fl_Widget* widget, void*) {
  if (widget->window()) widget->window()->hide();
}

// FLTK draws "@..." in labels as symbols; "@@" is a plain "@".
std::string plainLabel(const std::string& text) {
  std::string out;
  for (char c : text) {
    out += c;
    if (c == '@') out += '@';
  }
  return out;
}

bool isAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

Fl_Font uiFont() {
  // A slot of its own, far above the ones the launcher's controls register
  // from FL_FREE_FONT upwards, so neither overwrites the other.
  constexpr Fl_Font kSlot = FL_FREE_FONT + 48;
  static bool registered = false;
  if (!registered) {
    // The leading blank keeps FLTK from reading the "I" of the name as an
    // italic style code.
    Fl::set_font(kSlot, " IPAPGothic");
    registered = true;
  }
  return kSlot;
}

bool HiddenWindow::create(const std::string& title) {
  destroy();
  Display* d = display();
  if (!d) return false;
  xErrorTrapBegin();
  XSetWindowAttributes attributes{};
  Window window = XCreateWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, CopyFromParent,
                                InputOnly, CopyFromParent, 0, &attributes);
  if (window != None) {
    Atom netWmName = XInternAtom(d, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    XChangeProperty(d, window, netWmName, utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()),
                    static_cast<int>(title.size()));
    if (isAscii(title)) {
      XStoreName(d, window, title.c_str());
    } else {
      XTextProperty property{};
      char* list[] = {const_cast<char*>(title.c_str())};
      if (Xutf8TextListToTextProperty(d, list, 1, XStdICCTextStyle, &property) >= Success) {
        XSetWMName(d, window, &property);
        XFree(property.value);
      }
    }
    char name[sizeof names::kLauncherFile];
    std::memcpy(name, names::kLauncherFile, sizeof name);
    char className[] = "Miravel";
    XClassHint hint{name, className};
    XSetClassHint(d, window, &hint);
  }
  if (!xErrorTrapEnd(d) || window == None) {
    if (window != None) {
      xErrorTrapBegin();
      XDestroyWindow(d, window);
      xErrorTrapEnd(d);
    }
    return false;
  }
  window_ = window;
  return true;
}

void HiddenWindow::destroy() {
  if (window_ == None) return;
  Window window = window_;
  window_ = None;
  Display* d = display();
  if (!d) return;
  xErrorTrapBegin();
  XDestroyWindow(d, window);
  xErrorTrapEnd(d);
}

bool topLevelWindowExists(const std::string& title) {
  Display* d = display();
  return d && findTopLevelWindow(d, title) != None;
}

void showModal(Fl_Window& window) {
  if (!display()) return;
  Fl_Widget_Tracker tracker(&window);
  window.set_modal();
  window.show();
  while (tracker.exists() && window.shown()) serveEvents();
}

void messageBox(const std::string& text) {
  // No X to show it on (a saver run on Wayland alone): the message still
  // reaches whoever started us.
  if (!display()) {
    std::fprintf(stderr, "Miravel.scr: %s\n", text.c_str());
    return;
  }
  const Fl_Font font = uiFont();
  const std::string label = plainLabel(text);

  fl_font(font, kMessageFontSize);
  int textWidth = 0, textHeight = 0;
  fl_measure(label.c_str(), textWidth, textHeight, 0);
  if (textWidth > kWrapWidth) {
    textWidth = kWrapWidth;
    textHeight = 0;
    fl_measure(label.c_str(), textWidth, textHeight, 0);
  }
  const int width = std::max({textWidth, kButtonWidth, 160}) + 2 * kMargin;
  const int buttonTop = kMargin + textHeight + kMargin;
  const int height = buttonTop + kButtonHeight + kMargin * 3 / 4;

  Fl_Window window(width, height, "Miravel");
  Fl_Box message(kMargin, kMargin, width - 2 * kMargin, textHeight);
  message.copy_label(label.c_str());
  message.labelfont(font);
  message.labelsize(kMessageFontSize);
  message.align(FL_ALIGN_INSIDE | FL_ALIGN_CENTER | FL_ALIGN_WRAP);
  Fl_Button ok((width - kButtonWidth) / 2, buttonTop, kButtonWidth, kButtonHeight, "OK");
  ok.labelfont(font);
  ok.labelsize(kMessageFontSize);
  ok.shortcut(FL_Enter);
  ok.callback(closeWindowOf);
  window.end();

  int screenX = 0, screenY = 0, screenW = 0, screenH = 0;
  Fl::screen_xywh(screenX, screenY, screenW, screenH, 0);
  window.position(screenX + (screenW - width) / 2, screenY + (screenH - height) / 2);
  window.size_range(width, height, width, height);
  showModal(window);
}

}  // namespace platform
