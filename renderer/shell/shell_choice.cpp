#include "renderer/shell/shell_choice.h"

#include <string>

namespace {

std::string lowered(const char* text) {
  std::string s = text ? text : "";
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

}  // namespace

RendererShell preferredShell(const char* miravelPlatform, const char* waylandDisplay) {
  const std::string forced = lowered(miravelPlatform);
  if (forced == "x11") return RendererShell::X11;
  if (forced == "wayland") return RendererShell::Wayland;
  return waylandDisplay && *waylandDisplay ? RendererShell::Wayland : RendererShell::X11;
}
