// A small program on the launcher's runtime for the integration tests:
//   runtime_probe hidden TITLE REPORT  loads a form holding a hidden top-level
//                                      window titled TITLE and stays; REPORT
//                                      gets "loaded" and, on unload, "unloaded"
//   runtime_probe message TEXT         shows TEXT in the message box
#include "platform/runtime/fltk_runtime.h"

#include <cstdio>
#include <string>

namespace {

std::string g_mode, g_text, g_report;

void note(const char* what) {
  if (FILE* out = std::fopen(g_report.c_str(), "a")) {
    std::fprintf(out, "%s\n", what);
    std::fclose(out);
  }
}

class HiddenHost : public platform::Form {
 protected:
  void onLoad() override { note(window_.create(g_text) ? "loaded" : "no window"); }
  void onQueryUnload() override { note("unloaded"); }

 private:
  platform::HiddenWindow window_;
};

void start() {
  if (g_mode == "hidden") {
    static HiddenHost host;
    host.load();
  } else if (g_mode == "message") {
    platform::messageBox(g_text);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  g_mode = argv[1];
  g_text = argv[2];
  if (argc > 3) g_report = argv[3];
  platform::runLauncher(1, argv, start);
}
