// A small window with a text field and two gradient buttons, laid out like
// the bottom row of the settings dialog. Every Click is printed on stdout as
// "Click A <count>" or "Click B <count>".
//
// Commands on stdin, one a line:
//   where           prints "A <x> <y> <w> <h>" and "B ..." (screen pixels)
//   state           prints "state A <ButtonState> <picture> <reverse>" and B
//   enable A|B 0|1  writes the button's Enabled
//   quit            ends the program
#include <FL/Fl.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>
#include <unistd.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "launcher/button/fltk_command_button.h"

namespace {

struct Demo {
  Fl_Window* window = nullptr;
  button::CommandButton* buttons[2] = {nullptr, nullptr};
  int clicks[2] = {0, 0};
  std::string pending;
};

Demo g_demo;

void say(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

int indexOf(const std::string& name) { return name == "A" ? 0 : name == "B" ? 1 : -1; }

void where() {
  for (int i = 0; i < 2; ++i) {
    button::CommandButton* b = g_demo.buttons[i];
    int x = 0, y = 0;
    Window child = 0;
    if (b->shown()) {
      XTranslateCoordinates(fl_display, fl_xid(b), DefaultRootWindow(fl_display), 0, 0, &x, &y, &child);
    }
    std::ostringstream out;
    out << (i == 0 ? "A " : "B ") << x << ' ' << y << ' ' << b->w() << ' ' << b->h();
    say(out.str());
  }
}

void state() {
  for (int i = 0; i < 2; ++i) {
    const button::Command& rules = g_demo.buttons[i]->rules();
    std::ostringstream out;
    out << "state " << (i == 0 ? "A " : "B ") << int(rules.buttonState()) << ' '
        << button::pictureName(rules.shownPicture()) << ' ' << (rules.reverseGradient() ? 1 : 0);
    say(out.str());
  }
}

void command(const std::string& line) {
  std::istringstream in(line);
  std::string verb, name;
  in >> verb;
  if (verb == "where") {
    where();
  } else if (verb == "state") {
    state();
  } else if (verb == "enable") {
    int value = 1;
    in >> name >> value;
    int i = indexOf(name);
    if (i >= 0) g_demo.buttons[i]->Enabled(value != 0);
    say("ok");
  } else if (verb == "quit") {
    g_demo.window->hide();
  }
}

void onInput(FL_SOCKET fd, void*) {
  char buf[256];
  ssize_t n = read(fd, buf, sizeof buf);
  if (n <= 0) {
    Fl::remove_fd(fd);
    return;
  }
  g_demo.pending.append(buf, static_cast<size_t>(n));
  size_t end;
  while ((end = g_demo.pending.find('\n')) != std::string::npos) {
    std::string line = g_demo.pending.substr(0, end);
    g_demo.pending.erase(0, end + 1);
    command(line);
  }
}

}  // namespace

int main(int argc, char** argv) {
  Fl_Window window(100, 100, 330, 70, "Button test");
  window.color(fl_rgb_color(192, 192, 192));
  Fl_Input field(10, 20, 60, 25);  // takes the first focus, as the dialog's track field does
  const char* captions[2] = {"その他の作品", "設定"};
  const int lefts[2] = {90, 240};
  const int widths[2] = {125, 73};
  for (int i = 0; i < 2; ++i) {
    g_demo.buttons[i] = new button::CommandButton(lefts[i], 20, widths[i], 25);
  }
  window.end();
  g_demo.window = &window;

  for (int i = 0; i < 2; ++i) {
    button::CommandButton* b = g_demo.buttons[i];
    button::PropertyBag layout;
    layout.set("Caption", std::string(captions[i]));
    layout.set("Font", button::CaptionFont{});
    b->load(layout);
    b->onClick([i](button::CommandButton&) {
      ++g_demo.clicks[i];
      say(std::string("Click ") + (i == 0 ? "A " : "B ") + std::to_string(g_demo.clicks[i]));
    });
    b->Initialize();
  }

  Fl::add_fd(0, FL_READ, onInput);
  window.show(argc, argv);
  return Fl::run();
}
