#include "launcher/settings_music/dialog_web.h"

#include <FL/Fl.H>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace dialog {
namespace {

constexpr double kTick = 0.1;

}  // namespace

pid_t startProgram(const std::vector<std::string>& argv) {
  if (argv.empty() || argv[0].empty()) return -1;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return -1;
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

bool reapIfEnded(pid_t pid) {
  if (pid <= 0) return true;
  int status = 0;
  pid_t r;
  do {
    r = waitpid(pid, &status, WNOHANG);
  } while (r < 0 && errno == EINTR);
  return r != 0;  // our ended child, or no child of ours (ECHILD)
}

PageOpener::~PageOpener() { Fl::remove_timeout(onTick, this); }

bool PageOpener::open(const std::string& address, std::function<void()> onSettled) {
  pid_t pid = startProgram({"xdg-open", address});
  if (pid < 0) return false;
  children_.push_back({pid, 0.0, std::move(onSettled)});
  if (!ticking_) {
    ticking_ = true;
    Fl::add_timeout(kTick, onTick, this);
  }
  return true;
}

void PageOpener::onTick(void* self) { static_cast<PageOpener*>(self)->tick(); }

void PageOpener::tick() {
  // Callbacks are collected first: one may open another page meanwhile.
  std::vector<std::function<void()>> settled;
  for (size_t i = 0; i < children_.size();) {
    Child& child = children_[i];
    child.age += kTick;
    bool ended = reapIfEnded(child.pid);
    if ((ended || child.age >= kSettleSeconds) && child.onSettled) {
      settled.push_back(std::move(child.onSettled));
      child.onSettled = nullptr;
    }
    if (ended) {
      children_.erase(children_.begin() + static_cast<long>(i));
    } else {
      ++i;
    }
  }
  ticking_ = !children_.empty();
  if (ticking_) Fl::repeat_timeout(kTick, onTick, this);
  for (auto& f : settled) f();
}

}  // namespace dialog
