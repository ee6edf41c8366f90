// Opening a music file (or a disc image) without ever blocking: only regular
// files are opened, so a named pipe, a device such as /dev/zero, or a folder
// named as the music can never hang or flood the launcher.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct SDL_RWops;

namespace platform::mci {

// The largest sound file loaded whole into memory, and the most memory its
// decoded sound may take: a background loop is seconds or minutes long.
constexpr uint64_t kSoundFileLimit = 64ull * 1024 * 1024;
constexpr uint64_t kSoundMemoryLimit = 256ull * 1024 * 1024;

// True when `path` is a regular file (after following links), or, with
// `blockDeviceToo`, a block device (a CD drive). Looks without opening.
bool isRegularFile(const std::string& path, bool blockDeviceToo = false);

// Opens a regular file for reading without blocking on the open; null for
// anything else, for a missing file, and for one larger than `sizeLimit`
// bytes (0: no limit). `size` gets its size.
std::FILE* openRegularFile(const std::string& path, uint64_t sizeLimit, uint64_t* size = nullptr);

// The same, as an SDL stream that closes the file when it is closed.
SDL_RWops* openRegularFileRW(const std::string& path, uint64_t sizeLimit,
                             uint64_t* size = nullptr);

// The disc image files a cue sheet (or a cdrdao table of contents) names in
// its FILE and DATAFILE lines, in order, as written (relative to the sheet's
// folder unless absolute).
std::vector<std::string> sheetDataFiles(const std::string& sheetText);

// True when a CD source may be opened: a block device, or a regular image
// file whose sheet names only regular files (resolved beside the sheet).
bool isSafeCdSource(const std::string& path);

}  // namespace platform::mci
