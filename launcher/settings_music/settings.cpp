#include "launcher/settings_music/settings.h"

int16_t BGMKind = 0;
int16_t BGMRepeat = 0;
std::string BGMFile;
