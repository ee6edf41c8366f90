// A small Win32 window with a text field and two gradient buttons, laid out
// like the bottom row of the settings dialog. Every Click is printed on
// stdout as "Click A <count>" or "Click B <count>".
//
// Commands on stdin, one a line:
//   where           prints "A <x> <y> <w> <h>" and "B ..." (screen pixels)
//   state           prints "state A <ButtonState> <picture> <reverse>" and B
//   enable A|B 0|1  writes the button's Enabled, then prints "ok"
//   quit            ends the program
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "launcher/button/win32_command_button.h"

namespace {

constexpr UINT kCommandMessage = WM_APP + 1;

struct Demo {
  HWND window = nullptr;
  std::unique_ptr<button::Win32CommandButton> buttons[2];
  int clicks[2] = {0, 0};
};

Demo g_demo;

void say(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

const char* nameOf(int i) { return i == 0 ? "A " : "B "; }

void command(const std::string& line) {
  std::istringstream in(line);
  std::string verb, name;
  in >> verb;
  if (verb == "where") {
    for (int i = 0; i < 2; ++i) {
      HWND b = g_demo.buttons[i]->window();
      RECT r{};
      GetWindowRect(b, &r);
      std::ostringstream out;
      out << nameOf(i) << r.left << ' ' << r.top << ' ' << (r.right - r.left) << ' ' << (r.bottom - r.top);
      say(out.str());
    }
  } else if (verb == "state") {
    for (int i = 0; i < 2; ++i) {
      const button::Command& rules = g_demo.buttons[i]->rules();
      std::ostringstream out;
      out << "state " << nameOf(i) << int(rules.buttonState()) << ' ' << button::pictureName(rules.shownPicture())
          << ' ' << (rules.reverseGradient() ? 1 : 0);
      say(out.str());
    }
  } else if (verb == "enable") {
    int value = 1;
    in >> name >> value;
    int i = name == "A" ? 0 : name == "B" ? 1 : -1;
    if (i >= 0) g_demo.buttons[i]->Enabled(value != 0);
    say("ok");
  } else if (verb == "quit") {
    DestroyWindow(g_demo.window);
  }
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kCommandMessage: {
      std::unique_ptr<std::string> line(reinterpret_cast<std::string*>(lParam));
      command(*line);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSEXW c{};
  c.cbSize = sizeof c;
  c.lpfnWndProc = windowProc;
  c.hInstance = instance;
  c.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  c.hbrBackground = CreateSolidBrush(RGB(192, 192, 192));
  c.lpszClassName = L"MiravelButtonDemo";
  RegisterClassExW(&c);
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  RECT frame{0, 0, 330, 70};
  AdjustWindowRect(&frame, style, FALSE);
  g_demo.window = CreateWindowExW(0, c.lpszClassName, L"Button test", style, 100, 100, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
  if (!g_demo.window) return 1;
  // Takes the first focus, as the dialog's track field does.
  HWND field = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 20, 60, 25,
                               g_demo.window, nullptr, instance, nullptr);

  const char* captions[2] = {"その他の作品", "設定"};
  const int lefts[2] = {90, 240};
  const int widths[2] = {125, 73};
  for (int i = 0; i < 2; ++i) {
    auto& b = g_demo.buttons[i];
    b = std::make_unique<button::Win32CommandButton>(g_demo.window, lefts[i], 20, widths[i], 25);
    button::PropertyBag layout;
    layout.set("Caption", std::string(captions[i]));
    layout.set("Font", button::CaptionFont{});
    b->load(layout);
    b->onClick([i] {
      ++g_demo.clicks[i];
      say(std::string("Click ") + nameOf(i) + std::to_string(g_demo.clicks[i]));
    });
    b->Initialize();
  }

  ShowWindow(g_demo.window, SW_SHOW);
  SetForegroundWindow(g_demo.window);
  SetFocus(field);

  HWND target = g_demo.window;
  std::thread([target] {
    std::string line;
    while (std::getline(std::cin, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      PostMessageW(target, kCommandMessage, 0, reinterpret_cast<LPARAM>(new std::string(line)));
    }
  }).detach();

  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(g_demo.window, &m)) continue;
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  for (auto& b : g_demo.buttons) b.reset();
  std::fflush(stdout);
  ExitProcess(0);  // the stdin reader may still be blocked in its read
}
