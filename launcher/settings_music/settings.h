// The launcher-wide music settings, filled from Miravel.ini once per process.
#pragma once

#include <cstdint>
#include <string>

// 0 no music, 1 audio CD, 2 MP3 or WAV file; any other value plays nothing.
extern int16_t BGMKind;
// The CD track to repeat; 0 plays the whole disc.
extern int16_t BGMRepeat;
// Full path of the MP3 or WAV file, as stored (bytes kept as they are).
extern std::string BGMFile;
