// "その他の作品": the web page of the maker's other works. Its address is
// shared (dialog_web_address.cpp); on Linux it is opened in the user's
// browser with xdg-open (dialog_web.cpp), on Windows with the shell.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace dialog {

// The page's address, fixed when building (CMake cache variable
// MIRAVEL_WEB_ADDRESS).
const char* webAddress();

// Starts `argv` (argv[0] looked up in PATH) as a child process without waiting
// for it; its standard input and output go to /dev/null. The child's id, or
// -1 when it could not be started (nothing is reported).
pid_t startProgram(const std::vector<std::string>& argv);

// True once the child `pid` has ended and has been reaped (also true for an
// id that is no child of ours); false while it runs.
bool reapIfEnded(pid_t pid);

// Opens addresses with xdg-open and keeps track of the xdg-open processes:
// each is reaped when it ends, checked between other events. `onSettled` runs
// once per started page when its xdg-open has handed the page over (has
// ended) or has run for kSettleSeconds, whichever comes first: the time the
// dialog shows the busy pointer. Destroying the opener stops the checks; a
// child that is still running then is left to the system.
class PageOpener {
 public:
  static constexpr double kSettleSeconds = 2.0;

  PageOpener() = default;
  PageOpener(const PageOpener&) = delete;
  PageOpener& operator=(const PageOpener&) = delete;
  ~PageOpener();

  // False (and `onSettled` never runs) when xdg-open could not be started.
  bool open(const std::string& address, std::function<void()> onSettled);
  // Programs that are still running.
  int running() const { return static_cast<int>(children_.size()); }

 private:
  struct Child {
    pid_t pid;
    double age;
    std::function<void()> onSettled;
  };
  static void onTick(void* self);
  void tick();

  std::vector<Child> children_;
  bool ticking_ = false;
};

}  // namespace dialog
