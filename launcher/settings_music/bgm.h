// Kelvara_BGM: the background music of a saver run: an audio CD (the whole
// disc over and over, or one track repeated), an MP3 started again whenever
// it ends, or a WAV looping without a gap. It sends multimedia command texts
// and plays the WAV through the sound player; every failure is silent and the
// run goes on without music.
//
// How a saver run drives it (launcher/core/saver_music.h, for Kelvara_S and
// display mode), all on the launcher's one thread:
//   start of the run, after the renderer was started:
//     BGMKind 1:  CDOpen(), then start a 200 ms timer. Each tick: CDPoll(),
//                 then enable the timer exactly when CDOk is true (one failed
//                 status query ends the CD watch for the rest of the run).
//                 The first poll starts the play.
//     BGMKind 2:  upper-cased last three characters of BGMFile:
//                 "WAV": WAVStart() (no timer: the sound loops by itself);
//                 "MP3": MP3Start(), then a 1000 ms timer calling MP3Poll().
//                 Anything else: no music.
//   end of the run:
//     CDStop() only if the CD timer is still enabled; WAVStop() or MP3Stop()
//     by the same ending rule as at the start.
#pragma once

#include <cstdint>
#include <string>

namespace Kelvara_BGM {

// The services the module talks to: the multimedia command interpreter and
// the sound player. The real ones are the platform's (platform/mci); tests put
// a recorder in their place.
class MciPort {
 public:
  virtual ~MciPort() = default;
  // Sends one command text; `reply` may be null (then `replySize` is 0).
  virtual uint32_t sendString(const char* command, char* reply, unsigned replySize) = 0;
  virtual bool getErrorString(uint32_t code, char* text, unsigned textSize) = 0;
  virtual unsigned waveOutGetNumDevs() = 0;
  virtual bool playSound(const char* sound, uint32_t flags) = 0;
};

// Flags of playSound, with the Windows values.
constexpr uint32_t kSndAsync = 0x1;
constexpr uint32_t kSndLoop = 0x8;

// The platform's services: the command interpreter of platform/mci on Linux
// (mci_port.cpp), winmm itself on Windows (win32_mci_port.cpp).
MciPort& platformMciPort();

// Replaces the services; null puts the platform's back.
void SetMciPort(MciPort* port);

// Clears the module's state (CDOk and the mode buffers) to that of a fresh
// launcher process.
void ResetState();

// True while the last CD status queries succeeded; set by CDPoll.
extern bool CDOk;

// Sends `command` and puts the reply, or the error's text, into `reply`.
// Returns the error code: 0 on success, -1 for an empty command (not sent).
int32_t MciSend(const std::string& command, std::string& reply);
// The reply of MciSend on success, else "Error:" and the code ("Error:263").
std::string MciStatus(const std::string& command);
// Sends "play <device>[ from <start>][ to <end>]"; the code of MciSend.
int32_t MciPlay(const std::string& device, const std::string& start, const std::string& end);

void CDOpen();
void CDPoll();
void CDStop();

void MP3Start();
bool MP3IsPlaying();
void MP3Poll();
void MP3Stop();

void WAVStart();
void WAVStop();

}  // namespace Kelvara_BGM
