// Form life and the command line's shape: the parts of the form runtime that
// are the same on every platform.
#include "platform/runtime/runtime.h"

#include <algorithm>
#include <vector>

namespace platform {
namespace {

std::vector<Form*> g_loaded;

void forget(Form* form) {
  g_loaded.erase(std::remove(g_loaded.begin(), g_loaded.end(), form), g_loaded.end());
}

}  // namespace

std::string joinCommandLine(int argc, const char* const* argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    if (argv[i]) line += argv[i];
  }
  return line;
}

Form::~Form() {
  if (loaded_) forget(this);
}

void Form::load() {
  if (loaded_) return;
  loaded_ = true;
  g_loaded.push_back(this);
  onLoad();
}

void Form::unload() {
  if (!loaded_ || unloading_) return;
  unloading_ = true;
  onQueryUnload();
  onUnload();
  forget(this);
  loaded_ = false;
  unloading_ = false;
}

int loadedFormCount() { return static_cast<int>(g_loaded.size()); }

void unloadAllForms() {
  while (!g_loaded.empty()) {
    Form* form = g_loaded.back();
    form->unload();
    forget(form);  // in case it was already unloading and so did nothing
  }
}

}  // namespace platform
