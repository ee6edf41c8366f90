#include "launcher/settings_music/bgm.h"

#include <cstring>

#include "launcher/settings_music/settings.h"

namespace Kelvara_BGM {

bool CDOk = false;

namespace {

MciPort* g_port = &platformMciPort();

// Sizes of the buffers the replies are read into.
constexpr unsigned kReplySize = 512;
constexpr unsigned kErrorSize = 256;
constexpr unsigned kCdModeSize = 255;
constexpr unsigned kMp3ModeSize = 30;

char g_reply[kReplySize];
char g_errorText[kErrorSize];
// The mode buffers keep their last text when a status query fails.
char g_cdMode[kCdModeSize];
char g_mp3Mode[kMp3ModeSize];
// The last reply or error text MciSend gave to MciStatus and MciPlay.
std::string g_replyText;

// Asynchronous and looping.
constexpr uint32_t kLoopInBackground = kSndAsync | kSndLoop;

std::string textOf(const char* buffer, size_t size) {
  return std::string(buffer, strnlen(buffer, size));
}

std::string firstSeven(const char* buffer, size_t size) { return textOf(buffer, size).substr(0, 7); }

bool containsErr(const std::string& text) {
  std::string upper = text;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper.find("ERR") != std::string::npos;
}

// A reply taken as a whole number: blanks around it, an optional sign, digits.
bool toNumber(const std::string& text, long& value) {
  size_t begin = text.find_first_not_of(" \t");
  size_t end = text.find_last_not_of(" \t");
  if (begin == std::string::npos) return false;
  std::string digits = text.substr(begin, end - begin + 1);
  bool negative = false;
  if (digits[0] == '+' || digits[0] == '-') {
    negative = digits[0] == '-';
    digits.erase(0, 1);
  }
  if (digits.empty() || digits.size() > 9) return false;
  value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (negative) value = -value;
  return true;
}

void sendIgnoringErrors(const char* command) { g_port->sendString(command, nullptr, 0); }

}  // namespace

void SetMciPort(MciPort* port) { g_port = port != nullptr ? port : &platformMciPort(); }

void ResetState() {
  CDOk = false;
  std::memset(g_reply, 0, sizeof g_reply);
  std::memset(g_errorText, 0, sizeof g_errorText);
  std::memset(g_cdMode, 0, sizeof g_cdMode);
  std::memset(g_mp3Mode, 0, sizeof g_mp3Mode);
  g_replyText.clear();
}

int32_t MciSend(const std::string& command, std::string& reply) {
  if (command.empty()) {
    reply = "コマンド文字列が指定されていません";
    return -1;
  }
  std::memset(g_reply, 0, sizeof g_reply);
  uint32_t code = g_port->sendString(command.c_str(), g_reply, kReplySize);
  if (code == 0) {
    reply = textOf(g_reply, kReplySize);
    return 0;
  }
  std::memset(g_errorText, 0, sizeof g_errorText);
  if (g_port->getErrorString(code, g_errorText, kErrorSize)) {
    reply = textOf(g_errorText, kErrorSize);
  } else {
    reply = "Error (文字列が取れません)";
  }
  return static_cast<int32_t>(code);
}

std::string MciStatus(const std::string& command) {
  int32_t code = MciSend(command, g_replyText);
  return code == 0 ? g_replyText : "Error:" + std::to_string(code);
}

int32_t MciPlay(const std::string& device, const std::string& start, const std::string& end) {
  std::string command = "play " + device;
  if (!start.empty()) command += " from " + start;
  if (!end.empty()) command += " to " + end;
  return MciSend(command, g_replyText);
}

void CDOpen() {
  sendIgnoringErrors("open cdaudio");
  sendIgnoringErrors("set cdaudio time format tmsf");
}

void CDPoll() {
  CDOk = true;
  std::string current = MciStatus("status cdaudio current track");
  if (containsErr(current)) {
    CDOk = false;
    return;
  }
  if (containsErr(MciStatus("status cdaudio number of tracks"))) {
    CDOk = false;
    return;
  }
  g_port->sendString("status cdaudio mode", g_cdMode, kCdModeSize);
  const std::string mode = firstSeven(g_cdMode, kCdModeSize);
  // A current track that is no number means the device answers nonsense:
  // the CD watch ends as after a failed query.
  long currentTrack = 0;
  if (!toNumber(current, currentTrack)) {
    CDOk = false;
    return;
  }
  if (BGMRepeat != 0) {
    if (mode == "stopped" || currentTrack != BGMRepeat) {
      // Jump back to the start of the chosen track; at most one poll interval
      // of the next track is heard.
      std::string start = MciStatus("status cdaudio position track " + std::to_string(BGMRepeat));
      MciPlay("cdaudio", start, "");
    }
  } else if (mode == "stopped") {
    // The whole disc: start it, and start it again whenever it has stopped.
    MciPlay("cdaudio", "", "");
  }
}

void CDStop() {
  sendIgnoringErrors("stop cdaudio");
  sendIgnoringErrors("close cdaudio");
}

void MP3Start() {
  // The path goes into the command inside double quotes. On Linux a file name
  // may hold a double quote itself, which would end the quoted name early
  // and let the rest be read as command words: such a file is not opened.
  if (BGMFile.find('"') != std::string::npos) return;
  std::string reply;
  if (MciSend("open \"" + BGMFile + "\" type MPEGVideo Alias MP3Play", reply) == 0) {
    MciSend("play MP3Play", reply);
  }
}

bool MP3IsPlaying() {
  g_port->sendString("status MP3Play mode", g_mp3Mode, kMp3ModeSize);
  return firstSeven(g_mp3Mode, kMp3ModeSize) == "playing";
}

void MP3Poll() {
  if (MP3IsPlaying()) return;
  sendIgnoringErrors("stop MP3Play");
  sendIgnoringErrors("play MP3Play from 0");
}

void MP3Stop() {
  sendIgnoringErrors("stop MP3Play");
  sendIgnoringErrors("close MP3Play");
}

void WAVStart() {
  if (g_port->waveOutGetNumDevs() > 0) g_port->playSound(BGMFile.c_str(), kLoopInBackground);
}

void WAVStop() { g_port->playSound(nullptr, 0); }

}  // namespace Kelvara_BGM
