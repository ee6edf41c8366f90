// A recording stand-in for the few GL and GLU entry points the renderer uses,
// so its drawing can be checked call by call without a display.
#pragma once

#include <string>
#include <vector>

struct GlCall {
  std::string name;
  std::vector<double> args;
};

std::vector<GlCall>& glCalls();
