#include "platform/mci/mpeg_video.h"

#include <SDL_mixer.h>

#include <cstdio>

#include "platform/mci/audio_output.h"
#include "platform/mci/mci.h"
#include "platform/mci/music_file.h"

namespace platform::mci {
namespace {

// The file in SDL2_mixer's single music slot (UI thread only).
Mix_Music* g_current = nullptr;

int64_t durationMs(Mix_Music* music) {
  double seconds = Mix_MusicDuration(music);
  return seconds > 0 ? static_cast<int64_t>(seconds * 1000.0) : -1;
}

// The decoder SDL2_mixer would pick by the file's ending (as Mix_LoadMUS
// does), else none: the file's first bytes decide.
Mix_MusicType typeByEnding(const std::string& path) {
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return MUS_NONE;
  std::string ending = path.substr(dot + 1);
  for (char& c : ending) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  if (ending == "WAV") return MUS_WAV;
  if (ending == "MID" || ending == "MIDI" || ending == "KAR") return MUS_MID;
  if (ending == "OGG") return MUS_OGG;
  if (ending == "OPUS") return MUS_OPUS;
  if (ending == "FLAC") return MUS_FLAC;
  if (ending == "MPG" || ending == "MPEG" || ending == "MP3" || ending == "MAD") return MUS_MP3;
  return MUS_NONE;
}

}  // namespace

uint32_t MpegVideoDevice::open(const std::string& path, std::unique_ptr<Device>& out) {
  // Only a regular file: a named pipe or a device would block the open or
  // feed the decoder for ever.
  if (!isRegularFile(path)) return MCIERR_FILE_NOT_FOUND;
  if (!AudioOutput::instance().open()) return MCIERR_HARDWARE;
  SDL_RWops* stream = openRegularFileRW(path, 0);
  if (stream == nullptr) return MCIERR_FILE_NOT_FOUND;
  // The stream is the decoder's now, also when loading fails.
  Mix_Music* music = Mix_LoadMUSType_RW(stream, typeByEnding(path), 1);
  if (music == nullptr) return MCIERR_INVALID_FILE;
  out.reset(new MpegVideoDevice(music));
  return MCI_OK;
}

MpegVideoDevice::~MpegVideoDevice() {
  if (g_current == music_) {
    Mix_HaltMusic();
    g_current = nullptr;
  }
  Mix_FreeMusic(music_);
}

bool MpegVideoDevice::isPlaying() {
  if (g_current != music_) return false;
  if (Mix_PlayingMusic()) return true;
  // Played out: like a tape at its end, a plain "play" has nothing left.
  g_current = nullptr;
  int64_t duration = durationMs(music_);
  resumeMs_ = duration >= 0 ? duration : 0;
  return false;
}

uint32_t MpegVideoDevice::play(const std::optional<std::string>& from,
                               const std::optional<std::string>& to) {
  if (to) return MCIERR_UNSUPPORTED_FUNCTION;
  int64_t start = 0;
  if (from) {
    if (from->empty() || from->size() > 9) return MCIERR_BAD_INTEGER;
    for (char c : *from) {
      if (c < '0' || c > '9') return MCIERR_BAD_INTEGER;
      start = start * 10 + (c - '0');
    }
  } else {
    if (isPlaying()) return MCI_OK;
    start = resumeMs_;
  }
  int64_t duration = durationMs(music_);
  if (duration >= 0 && start > duration) return MCIERR_OUTOFRANGE;
  if (!from && duration >= 0 && start >= duration) return MCI_OK;
  if (Mix_FadeInMusicPos(music_, 0, 0, static_cast<double>(start) / 1000.0) != 0) {
    return MCIERR_HARDWARE;
  }
  g_current = music_;
  return MCI_OK;
}

uint32_t MpegVideoDevice::stop() {
  if (isPlaying()) {
    double seconds = Mix_GetMusicPosition(music_);
    resumeMs_ = seconds >= 0 ? static_cast<int64_t>(seconds * 1000.0) : 0;
    Mix_HaltMusic();
    g_current = nullptr;
  }
  return MCI_OK;
}

uint32_t MpegVideoDevice::status(StatusItem item, std::optional<int> track, std::string& reply) {
  if (track) return MCIERR_UNSUPPORTED_FUNCTION;
  switch (item) {
    case StatusItem::Mode:
      reply = isPlaying() ? "playing" : "stopped";
      return MCI_OK;
    case StatusItem::Position: {
      int64_t ms = resumeMs_;
      if (isPlaying()) {
        double seconds = Mix_GetMusicPosition(music_);
        ms = seconds >= 0 ? static_cast<int64_t>(seconds * 1000.0) : 0;
      }
      reply = std::to_string(ms);
      return MCI_OK;
    }
    case StatusItem::CurrentTrack:
    case StatusItem::NumberOfTracks:
      break;
  }
  return MCIERR_UNSUPPORTED_FUNCTION;
}

uint32_t MpegVideoDevice::setTimeFormat(TimeFormat format) {
  return format == TimeFormat::Milliseconds ? MCI_OK : MCIERR_BAD_TIME_FORMAT;
}

}  // namespace platform::mci
