// The address "その他の作品" opens, the same on every platform.
#include "launcher/settings_music/dialog_web.h"

#ifndef MIRAVEL_WEB_ADDRESS
#error "MIRAVEL_WEB_ADDRESS is set by the build (launcher/settings_music/CMakeLists.txt)"
#endif

namespace dialog {

const char* webAddress() { return MIRAVEL_WEB_ADDRESS; }

}  // namespace dialog
