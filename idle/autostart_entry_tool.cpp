// Prints the autostart entry for a program path given on the command line:
// the package's copy of the entry is made by the same code as the one
// `miravel-idle --install` writes.
#include <cstdio>
#include <string>
#include <vector>

#include "idle/autostart.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: miravel_idle_autostart_entry PROGRAM [ARGUMENT]...\n", stderr);
    return 2;
  }
  const std::string entry = idle::autostartEntry(std::vector<std::string>(argv + 1, argv + argc));
  if (entry.empty()) {
    std::fputs("an argument cannot be written into a desktop entry\n", stderr);
    return 1;
  }
  std::fputs(entry.c_str(), stdout);
  return 0;
}
