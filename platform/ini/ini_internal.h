// Between the INI rules (ini.cpp) and each platform's file code.
#pragma once

#include <string>

namespace platform {

// Converts `text` between "UTF-8", "UTF-16LE" and "CP932"; a character that
// is not valid in `from` or has no counterpart in `to` becomes one "?", as
// the system's conversion does.
std::string convertText(const char* from, const char* to, const std::string& text);

}  // namespace platform
