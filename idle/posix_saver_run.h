// Running the saver as `PATH /s` and hearing of its end from the main loop.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

namespace idle {

class SaverRun {
 public:
  explicit SaverRun(std::function<void()> ended) : ended_(std::move(ended)) {}
  ~SaverRun();
  SaverRun(const SaverRun&) = delete;
  SaverRun& operator=(const SaverRun&) = delete;

  // Starts the saver; `ended` is called from the main loop once it has
  // ended. False when it could not be started (`ended` is not called).
  bool start(const std::string& path);
  bool running() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }

 private:
  static int onEnd(int fd, unsigned condition, void* self);
  static int onLook(void* self);
  void finish();

  std::function<void()> ended_;
  pid_t pid_ = -1;
  int endFd_ = -1;
  unsigned watch_ = 0;
};

}  // namespace idle
