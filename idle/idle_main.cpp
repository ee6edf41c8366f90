// miravel-idle: starts the saver when the session is idle. This file only
// chooses and wires: the rules are in idle_starter, command_line,
// source_choice and inhibit_table; the desktops' protocols in the adaptors.
#include <glib-unix.h>
#include <gio/gio.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "idle/autostart.h"
#include "idle/command_line.h"
#include "idle/gdbus_inhibit_server.h"
#include "idle/gdbus_kde_policy.h"
#include "idle/gdbus_mutter_idle_source.h"
#include "idle/idle_starter.h"
#include "idle/posix_saver_run.h"
#include "idle/source_choice.h"
#include "idle/wayland_idle_source.h"
#include "idle/x11_idle_source.h"
#include "platform/names/program_names.h"
#include "platform/process/file_lock.h"

namespace {

using namespace idle;

void say(const std::string& text) { std::fprintf(stderr, "miravel-idle: %s\n", text.c_str()); }

std::string ownPath() {
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return {};
  return std::string(buffer, static_cast<std::size_t>(length));
}

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
}

bool isExecutable(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

bool isSocket(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

std::string absolute(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char here[PATH_MAX];
  if (!getcwd(here, sizeof here)) return path;
  return std::string(here) + "/" + path;
}

std::string describeDelay(std::uint64_t ms) {
  if (ms % 60000 == 0) return std::to_string(ms / 60000) + " min";
  return std::to_string(ms / 1000) + " s";
}

int installOrRemove(const Options& options) {
  const std::string folder = autostartFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  std::string error;
  FileChange change;
  if (options.action == Action::Install) {
    std::vector<std::string> command{ownPath()};
    if (options.delayGiven) {
      command.push_back("--after");
      command.push_back(options.delayMs % 60000 == 0 ? std::to_string(options.delayMs / 60000) + "m"
                                                     : std::to_string(options.delayMs / 1000) + "s");
    }
    if (!options.saver.empty()) {
      command.push_back("--saver");
      command.push_back(absolute(options.saver));
    }
    const std::string entry = autostartEntry(command);
    if (entry.empty()) {
      say("a path holds a line break or another control character; it cannot go into an "
          "autostart entry");
      return 1;
    }
    change = installAutostart(folder, entry, error);
  } else {
    change = removeAutostart(folder, error);
  }
  const std::string path = folder + "/" + kAutostartFileName;
  switch (change) {
    case FileChange::Written: say("wrote " + path + ": it starts at the next login"); return 0;
    case FileChange::AlreadyThere: say(path + " is already there"); return 0;
    case FileChange::Removed: say("removed " + path); return 0;
    case FileChange::WasNotThere: say(path + " was not there"); return 0;
    case FileChange::Failed: break;
  }
  say(error);
  return 1;
}

// The running program: the starter's steps carried out on the chosen source,
// the saver and the bus.
class Program final : public IdleEvents {
 public:
  Program(std::uint64_t delayMs, std::string saver, GMainLoop* loop)
      : delayMs_(delayMs), saver_(std::move(saver)), loop_(loop),
        run_([this] { saverEnded(); }) {}

  void setSource(std::unique_ptr<IdleSource> source) { source_ = std::move(source); }
  void setBus(GDBusConnection* bus) { bus_ = bus; }
  void setServer(InhibitServer* server) { server_ = server; }
  int exitCode() const { return exitCode_; }

  void begin() { carryOut(starter_.begin()); }

  void inhibitsChanged(bool held) { carryOut(starter_.inhibitsChanged(held)); }

  void idleReached() override {
    // Where the desktop keeps the inhibits (KDE), it is asked now.
    const bool askDesktop = bus_ && !(server_ && server_->serving()) &&
                            starter_.state() == IdleStarter::State::Watching &&
                            !starter_.inhibited();
    carryOut(starter_.idleReached(askDesktop && kdeInhibits(bus_)));
  }

  void userActive() override { carryOut(starter_.userActive()); }

  void sourceLost(const std::string& why) override {
    say(why + "; ending");
    exitCode_ = 1;
    g_main_loop_quit(loop_);
  }

 private:
  void saverEnded() {
    source_->lookNow();
    carryOut(starter_.saverEnded());
  }

  void carryOut(Step step) {
    switch (step) {
      case Step::Nothing:
        return;
      case Step::Arm:
        source_->watch(delayMs_);
        return;
      case Step::StartSaver:
        say("idle: starting " + saver_ + " /s");
        if (!run_.start(saver_)) {
          say("could not start " + saver_);
          carryOut(starter_.saverEnded());
        }
        return;
    }
  }

  std::uint64_t delayMs_;
  std::string saver_;
  GMainLoop* loop_;
  SaverRun run_;
  IdleStarter starter_;
  std::unique_ptr<IdleSource> source_;
  GDBusConnection* bus_ = nullptr;
  InhibitServer* server_ = nullptr;
  int exitCode_ = 0;
};

gboolean onEndSignal(gpointer loop) {
  g_main_loop_quit(static_cast<GMainLoop*>(loop));
  return G_SOURCE_CONTINUE;
}

GDBusConnection* connectSessionBus() {
  const std::string address = sessionBusAddress(std::getenv("DBUS_SESSION_BUS_ADDRESS"),
                                                std::getenv("XDG_RUNTIME_DIR"), isSocket);
  if (address.empty()) return nullptr;
  GError* error = nullptr;
  GDBusConnection* bus = g_dbus_connection_new_for_address_sync(
      address.c_str(),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, &error);
  if (!bus) {
    say(std::string("the session bus cannot be reached: ") + error->message);
    g_error_free(error);
    return nullptr;
  }
  // A bus that goes away must not end the program: the idle source may
  // still serve.
  g_dbus_connection_set_exit_on_close(bus, FALSE);
  return bus;
}

int run(const Options& options) {
  const std::string saver = chooseSaver(options.saver, folderOf(ownPath()), isExecutable);
  if (saver.empty()) {
    say(std::string("no saver found: looked for ") + names::kLauncherFile +
        " beside this program and " + installedSaver() + "; name one with --saver PATH");
    return 1;
  }
  if (!isExecutable(saver)) {
    say(saver + " is no program that can be run");
    return 1;
  }

  int lockFd = -1;
  const std::string lock = lockPath(std::getenv("XDG_RUNTIME_DIR"), getuid());
  if (platform::lockFile(lock, lockFd) == platform::FileLock::HeldByAnother) {
    say("already running in this session");
    return 0;
  }

  signal(SIGPIPE, SIG_IGN);
  GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
  g_unix_signal_add(SIGTERM, onEndSignal, loop);
  g_unix_signal_add(SIGINT, onEndSignal, loop);

  GDBusConnection* bus = connectSessionBus();
  SourceFacts facts;
  const char* waylandName = std::getenv("WAYLAND_DISPLAY");
  facts.waylandSession = waylandName && waylandName[0];
  facts.mutterMonitor = bus && mutterMonitorOnBus(bus);
  std::unique_ptr<WaylandIdle> wayland;
  if (!facts.mutterMonitor) wayland = openWaylandIdle(facts);
  std::unique_ptr<X11Idle> x11;
  if (needX11Facts(facts)) x11 = openX11Idle(facts);
  const SourceKind kind = chooseSource(facts);

  int code = 0;
  if (kind == SourceKind::XScreenSaver || kind == SourceKind::None) {
    say(refusalMessage(kind, facts));
    code = 1;
  } else {
    Program program(options.delayMs, saver, loop);
    program.setBus(bus);
    switch (kind) {
      case SourceKind::Mutter: program.setSource(makeMutterIdleSource(bus, program)); break;
      case SourceKind::ExtIdle:
      case SourceKind::KdeIdle: program.setSource(wayland->makeSource(kind, program)); break;
      default: program.setSource(x11->makeSource(program)); break;
    }
    wayland.reset();
    x11.reset();
    std::unique_ptr<InhibitServer> server;
    if (bus) {
      server = startInhibitServer(
          bus, [&program](bool held) { program.inhibitsChanged(held); },
          [](const char* text) { say(text); });
      program.setServer(server.get());
    } else {
      say("no session bus: serving no idle inhibits");
    }
    say(std::string("watching ") + sourceName(kind) + "; " + saver + " starts after " +
        describeDelay(options.delayMs) + " of idle");
    program.begin();
    g_main_loop_run(loop);
    code = program.exitCode();
    if (server) server->stop();
    if (bus) g_dbus_connection_flush_sync(bus, nullptr, nullptr);
    // Sources go before the bus: Mutter's watches are removed on it.
    program.setSource(nullptr);
  }
  if (bus) {
    g_dbus_connection_flush_sync(bus, nullptr, nullptr);
    g_object_unref(bus);
  }
  g_main_loop_unref(loop);
  if (lockFd >= 0) close(lockFd);
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  std::string error;
  const std::optional<Options> options = parseCommandLine(arguments, error);
  if (!options) {
    say(error);
    std::fputs(usageText().c_str(), stderr);
    return 2;
  }
  switch (options->action) {
    case Action::Help: std::fputs(usageText().c_str(), stdout); return 0;
    case Action::Install:
    case Action::Remove: return installOrRemove(*options);
    case Action::Run: break;
  }
  return run(*options);
}
