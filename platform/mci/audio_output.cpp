#include "platform/mci/audio_output.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include "platform/mci/mci.h"
#include "platform/mci/music_file.h"

#include <algorithm>
#include <cstring>

namespace platform::mci {

namespace {

// A WAV file loaded whole into memory and converted to the output's format;
// null for anything that is not a regular RIFF WAVE file of bounded size, and
// for a sound whose converted samples would not fit kSoundMemoryLimit (a
// small file at a low rate grows many times when converted).
Mix_Chunk* loadSound(const char* file) {
  SDL_RWops* stream = openRegularFileRW(file, kSoundFileLimit);
  if (stream == nullptr) return nullptr;
  char header[12] = {};
  const bool riffWave = SDL_RWread(stream, header, 1, sizeof header) == sizeof header &&
                        std::memcmp(header, "RIFF", 4) == 0 && std::memcmp(header + 8, "WAVE", 4) == 0;
  SDL_AudioSpec format{};
  Uint8* samples = nullptr;
  Uint32 length = 0;
  bool fits = false;
  if (riffWave && SDL_RWseek(stream, 0, RW_SEEK_SET) == 0 &&
      SDL_LoadWAV_RW(stream, 0, &format, &samples, &length) != nullptr) {
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, format.format, format.channels, format.freq, AUDIO_S16SYS,
                          kOutputChannels, kOutputRate) >= 0) {
      fits = static_cast<double>(length) * std::max(cvt.len_mult, 1) <= kSoundMemoryLimit;
    }
    SDL_FreeWAV(samples);
  }
  if (!fits || SDL_RWseek(stream, 0, RW_SEEK_SET) != 0) {
    SDL_RWclose(stream);
    return nullptr;
  }
  return Mix_LoadWAV_RW(stream, 1);
}

}  // namespace

AudioOutput& AudioOutput::instance() {
  // Never destroyed: SDL's audio thread may still call postMix while the
  // process ends, and the launcher ends without closing its music.
  static AudioOutput* output = new AudioOutput();
  return *output;
}

bool AudioOutput::open() {
  if (tried_) return opened_;
  tried_ = true;
  // SDL would otherwise take over SIGINT and SIGTERM for an event queue the
  // launcher never reads, and the launcher could no longer be ended.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  Mix_Init(MIX_INIT_MP3);
  // No format changes allowed: the mix stays 44.1 kHz 16-bit stereo whatever
  // the device wants, which is what the CD samples are added onto.
  if (Mix_OpenAudioDevice(kOutputRate, AUDIO_S16SYS, kOutputChannels, 2048, nullptr, 0) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  Mix_SetPostMix(&AudioOutput::postMix, this);
  opened_ = true;
  return true;
}

void AudioOutput::postMix(void* self, uint8_t* stream, int length) {
  auto* output = static_cast<AudioOutput*>(self);
  std::lock_guard<std::mutex> lock(output->mutex_);
  if (output->source_) {
    output->source_->mixInto(reinterpret_cast<int16_t*>(stream),
                             length / static_cast<int>(sizeof(int16_t) * kOutputChannels));
  }
}

void AudioOutput::setPcmSource(std::shared_ptr<PcmSource> source) {
  std::shared_ptr<PcmSource> previous;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    previous = std::move(source_);
    source_ = std::move(source);
  }
  // `previous` is let go here, outside the lock.
}

void AudioOutput::removePcmSource(const PcmSource* source) {
  std::shared_ptr<PcmSource> previous;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (source_.get() != source) return;
    previous = std::move(source_);
  }
}

void AudioOutput::stopSound() {
  if (sound_ == nullptr) return;
  Mix_HaltChannel(soundChannel_);
  Mix_FreeChunk(sound_);
  sound_ = nullptr;
  soundChannel_ = -1;
}

bool AudioOutput::playSound(const char* file, uint32_t flags) {
  stopSound();
  if (file == nullptr) return true;
  const bool loop = (flags & SND_LOOP) != 0;
  const bool async = (flags & SND_ASYNC) != 0;
  if (loop && !async) return false;
  if (!open()) return false;
  Mix_Chunk* chunk = loadSound(file);
  if (chunk == nullptr) return false;
  // A chunk looped by the mixer repeats sample for sample, without a gap.
  int channel = Mix_PlayChannel(-1, chunk, loop ? -1 : 0);
  if (channel < 0) {
    Mix_FreeChunk(chunk);
    return false;
  }
  sound_ = chunk;
  soundChannel_ = channel;
  if (!async) {
    while (Mix_Playing(channel)) SDL_Delay(10);
    stopSound();
  }
  return true;
}

}  // namespace platform::mci
