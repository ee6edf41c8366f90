// The interpreter and the music module against real media made here with
// sox: a WAV, an MP3 and a BIN/CUE disc image whose tracks are tones of
// different pitch. Sound goes to SDL's disk driver; the tone in the written
// samples tells what was heard and when.
//
// ToneRun through ctest: every case is its own process with SDL_AUDIODRIVER=disk
// (see CMakeLists.txt). NoSoundOutput runs with a sound driver that does not
// exist, as on a machine without sound.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "launcher/settings_music/bgm.h"
#include "launcher/settings_music/settings.h"
#include "platform/mci/mci.h"

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
const char kNoSuchDriver[] = "miravel-no-sound";

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Calls `tick` every `intervalMs` like a window timer, `count` times, while
// `keepGoing` holds.
void every(int intervalMs, int count, const std::function<void()>& tick,
           const std::function<bool()>& keepGoing = [] { return true; }) {
  auto next = std::chrono::steady_clock::now();
  for (int i = 0; i < count && keepGoing(); ++i) {
    next += std::chrono::milliseconds(intervalMs);
    std::this_thread::sleep_until(next);
    tick();
  }
}

std::string send(const std::string& command) {
  char reply[256] = "";
  uint32_t code = platform::mciSendString(command.c_str(), reply, sizeof reply);
  return code == 0 ? std::string(reply) : "error " + std::to_string(code);
}

// --- what the disk file holds ----------------------------------------------

// Power of one frequency in a block of samples (Goertzel), scaled so that a
// sine of amplitude A gives about A*A/4.
double tonePower(const float* x, int n, double frequency) {
  double coefficient = 2.0 * std::cos(2.0 * kPi * frequency / kRate);
  double s1 = 0, s2 = 0;
  for (int i = 0; i < n; ++i) {
    double s0 = x[i] + coefficient * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
  return power / (static_cast<double>(n) * n);
}

struct Window {
  double start;   // seconds from the start of the capture
  double rms;
  int tone;       // the clearly dominant candidate frequency, 0 for silence, -1 for a mix
};

// Cuts mono samples into windows and names the tone heard in each.
std::vector<Window> toneWindows(const std::vector<float>& samples, const std::vector<int>& tones,
                                double windowSeconds) {
  std::vector<Window> out;
  const int n = static_cast<int>(windowSeconds * kRate);
  for (size_t at = 0; at + n <= samples.size(); at += n) {
    const float* x = samples.data() + at;
    double sum = 0;
    for (int i = 0; i < n; ++i) sum += static_cast<double>(x[i]) * x[i];
    Window w{static_cast<double>(at) / kRate, std::sqrt(sum / n), 0};
    if (w.rms > 300) {
      double best = 0, second = 0;
      int bestTone = 0;
      for (int tone : tones) {
        double p = tonePower(x, n, tone);
        if (p > best) {
          second = best;
          best = p;
          bestTone = tone;
        } else if (p > second) {
          second = p;
        }
      }
      w.tone = (best > 0.3 * w.rms * w.rms && best > 10 * second) ? bestTone : -1;
    }
    out.push_back(w);
  }
  return out;
}

struct ToneRun {
  int tone;
  double start;
  double seconds;
};

// Runs of windows with the same tone; mixed windows at a change are left out
// and silent windows end a run.
std::vector<ToneRun> toneRuns(const std::vector<Window>& windows, double windowSeconds) {
  std::vector<ToneRun> runs;
  for (const Window& w : windows) {
    if (w.tone < 0) continue;
    if (!runs.empty() && runs.back().tone == w.tone &&
        w.start - (runs.back().start + runs.back().seconds) < 1.5 * windowSeconds) {
      runs.back().seconds = w.start + windowSeconds - runs.back().start;
    } else {
      runs.push_back({w.tone, w.start, windowSeconds});
    }
  }
  std::vector<ToneRun> sounding;
  for (const ToneRun& r : runs) {
    if (r.tone > 0) sounding.push_back(r);
  }
  return sounding;
}

std::string describe(const std::vector<ToneRun>& runs) {
  std::string out;
  for (const ToneRun& r : runs) {
    char text[64];
    std::snprintf(text, sizeof text, " %dHz@%.2fs+%.2fs", r.tone, r.start, r.seconds);
    out += text;
  }
  return out.empty() ? " (silence)" : out;
}

// The part of SDL's disk-driver file written from begin() on. The driver
// writes 16-bit stereo in real time from the moment the output opens.
class DiskCapture {
 public:
  void begin() { start_ = fileSize(); }
  std::vector<float> mono() const {
    const char* path = std::getenv("SDL_DISKAUDIOFILE");
    std::vector<float> out;
    std::ifstream file(path ? path : "", std::ios::binary);
    if (!file) return out;
    file.seekg(static_cast<std::streamoff>(start_));
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const size_t frames = bytes.size() / 4;
    const int16_t* s = reinterpret_cast<const int16_t*>(bytes.data());
    out.resize(frames);
    for (size_t i = 0; i < frames; ++i) out[i] = 0.5f * (static_cast<float>(s[2 * i]) + s[2 * i + 1]);
    return out;
  }

 private:
  static size_t fileSize() {
    struct stat st;
    const char* path = std::getenv("SDL_DISKAUDIOFILE");
    return path && stat(path, &st) == 0 ? static_cast<size_t>(st.st_size) / 4 * 4 : 0;
  }
  size_t start_ = 0;
};

// --- media -------------------------------------------------------------------

class MediaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/miravel-music.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    Kelvara_BGM::SetMciPort(nullptr);
    Kelvara_BGM::ResetState();
    BGMKind = 0;
    BGMRepeat = 0;
    BGMFile.clear();
  }
  void TearDown() override {
    Kelvara_BGM::MP3Stop();
    Kelvara_BGM::CDStop();
    Kelvara_BGM::WAVStop();
    if (std::system(("rm -rf '" + dir + "'").c_str()) != 0)
      ADD_FAILURE() << "the temporary folder stays: " << dir;
  }

  void shell(const std::string& command) {
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }
  // A sine tone file made by sox (16-bit: sox's default would be 32-bit).
  std::string toneFile(const std::string& name, int hz, double seconds) {
    std::string path = dir + "/" + name;
    shell("sox -n -r 44100 -c 2 -b 16 '" + path + "' synth " + std::to_string(seconds) + " sine " +
          std::to_string(hz) + " vol 0.5 2>/dev/null");
    return path;
  }
  // A BIN/CUE image: one audio track per tone, each `sectors` long.
  std::string discImage(const std::vector<int>& tones, int sectors) {
    std::string bin = dir + "/disc.bin";
    std::string cue = dir + "/disc.cue";
    std::string sheet = "FILE \"disc.bin\" BINARY\n";
    shell("rm -f '" + bin + "'");
    const double seconds = sectors / 75.0;
    for (size_t i = 0; i < tones.size(); ++i) {
      shell("sox -n -r 44100 -c 2 -b 16 -e signed -L -t raw - synth " + std::to_string(seconds) +
            " sine " + std::to_string(tones[i]) + " vol 0.5 2>/dev/null >> '" + bin + "'");
      int at = static_cast<int>(i) * sectors;
      char entry[96];
      std::snprintf(entry, sizeof entry, "  TRACK %02d AUDIO\n    INDEX 01 %02d:%02d:%02d\n",
                    static_cast<int>(i) + 1, at / 4500, at / 75 % 60, at % 75);
      sheet += entry;
    }
    std::ofstream(cue) << sheet;
    struct stat st;
    EXPECT_EQ(stat(bin.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, static_cast<off_t>(tones.size()) * sectors * 2352) << "sox made odd lengths";
    return cue;
  }

  std::vector<ToneRun> heard(const DiskCapture& capture, const std::vector<int>& tones,
                         double windowSeconds = 0.05) {
    return toneRuns(toneWindows(capture.mono(), tones, windowSeconds), windowSeconds);
  }

  std::string dir;
};

// --- with a sound output (SDL's disk driver) ---------------------------------

TEST_F(MediaTest, WavLoopsWithoutAGap) {
  BGMFile = toneFile("loop.wav", 523, 0.3);
  ASSERT_EQ(platform::waveOutGetNumDevs(), 1u);
  DiskCapture capture;
  capture.begin();
  Kelvara_BGM::WAVStart();
  sleepMs(1300);
  Kelvara_BGM::WAVStop();
  sleepMs(300);

  std::vector<float> samples = capture.mono();
  std::vector<ToneRun> runs = toneRuns(toneWindows(samples, {523}, 0.05), 0.05);
  ASSERT_EQ(runs.size(), 1u) << describe(runs);
  // Over three times the file's length, in one piece...
  EXPECT_GT(runs[0].seconds, 0.9) << describe(runs);
  // ...with not even 10 ms of silence where the file starts over.
  for (const Window& w : toneWindows(samples, {523}, 0.01)) {
    if (w.start > runs[0].start + 0.05 && w.start < runs[0].start + runs[0].seconds - 0.06) {
      EXPECT_GT(w.rms, 3000) << "gap at " << w.start;
    }
  }
  // And it stopped.
  std::vector<Window> windows = toneWindows(samples, {523}, 0.05);
  ASSERT_GT(windows.size(), 3u);
  EXPECT_EQ(windows.back().tone, 0);
}

TEST_F(MediaTest, Mp3StartsAgainAtEachPollAfterItEnded) {
  BGMFile = toneFile("tune.mp3", 440, 0.5);
  DiskCapture capture;
  capture.begin();
  Kelvara_BGM::MP3Start();
  EXPECT_EQ(send("status MP3Play mode"), "playing");
  // The host's 1000 ms MP3 timer, twice.
  every(1000, 2, [] { Kelvara_BGM::MP3Poll(); });
  sleepMs(800);
  Kelvara_BGM::MP3Stop();
  sleepMs(200);

  std::vector<ToneRun> runs = heard(capture, {440});
  ASSERT_EQ(runs.size(), 3u) << describe(runs);
  for (const ToneRun& r : runs) {
    EXPECT_GT(r.seconds, 0.3) << describe(runs);  // the whole file each time
    EXPECT_LT(r.seconds, 0.8) << describe(runs);
  }
  EXPECT_NEAR(runs[1].start - runs[0].start, 1.0, 0.25) << describe(runs);
  EXPECT_NEAR(runs[2].start - runs[1].start, 1.0, 0.25) << describe(runs);
}

TEST_F(MediaTest, CdTrackTwoRepeats) {
  setenv("MIRAVEL_CDROM", discImage({300, 700, 1500}, 75).c_str(), 1);
  BGMRepeat = 2;
  DiskCapture capture;
  capture.begin();
  Kelvara_BGM::CDOpen();
  bool alwaysOk = true;
  // The host's 200 ms CD timer, which runs while CDOk holds.
  every(200, 13, [&] {
    Kelvara_BGM::CDPoll();
    alwaysOk = alwaysOk && Kelvara_BGM::CDOk;
  });
  Kelvara_BGM::CDStop();
  sleepMs(300);

  EXPECT_TRUE(alwaysOk);
  // Fine windows: the bits of track 3 before a jump back are short.
  std::vector<ToneRun> runs = heard(capture, {300, 700, 1500}, 0.01);
  double track2 = 0;
  for (const ToneRun& r : runs) {
    EXPECT_NE(r.tone, 300) << "track 1 was heard:" << describe(runs);
    if (r.tone == 700) track2 += r.seconds;
    // Track 3 only until the next poll jumps back.
    if (r.tone == 1500) {
      EXPECT_LE(r.seconds, 0.3) << describe(runs);
    }
  }
  // The disc holds one second of this tone: hearing it for longer is the repeat.
  EXPECT_GT(track2, 1.8) << describe(runs);
  ASSERT_FALSE(runs.empty());
  EXPECT_EQ(runs.front().tone, 700) << describe(runs);
  EXPECT_EQ(send("status cdaudio mode"), "error 263");  // closed by CDStop
}

TEST_F(MediaTest, CdWholeDiscStartsOverAfterItsEnd) {
  setenv("MIRAVEL_CDROM", discImage({300, 700, 1500}, 30).c_str(), 1);  // 0.4 s a track
  DiskCapture capture;
  capture.begin();
  Kelvara_BGM::CDOpen();
  every(200, 10, [] { Kelvara_BGM::CDPoll(); });
  EXPECT_TRUE(Kelvara_BGM::CDOk);
  Kelvara_BGM::CDStop();
  sleepMs(300);

  std::vector<ToneRun> runs = heard(capture, {300, 700, 1500});
  ASSERT_GE(runs.size(), 4u) << describe(runs);
  EXPECT_EQ(runs[0].tone, 300) << describe(runs);
  EXPECT_EQ(runs[1].tone, 700) << describe(runs);
  EXPECT_EQ(runs[2].tone, 1500) << describe(runs);
  EXPECT_EQ(runs[3].tone, 300) << describe(runs);
}

TEST_F(MediaTest, CdStatusOfTheImage) {
  setenv("MIRAVEL_CDROM", discImage({300, 700, 1500}, 75).c_str(), 1);
  EXPECT_EQ(send("open cdaudio"), "");
  EXPECT_EQ(send("set cdaudio time format tmsf"), "");
  EXPECT_EQ(send("status cdaudio number of tracks"), "3");
  EXPECT_EQ(send("status cdaudio position track 3"), "03:00:00:00");
  EXPECT_EQ(send("status cdaudio position track 4"), "error 282");
  EXPECT_EQ(send("status cdaudio mode"), "stopped");
  EXPECT_EQ(send("play cdaudio from 3"), "");
  EXPECT_EQ(send("status cdaudio mode"), "playing");
  EXPECT_EQ(send("status cdaudio current track"), "3");
  sleepMs(1300);  // past the end of the disc
  EXPECT_EQ(send("status cdaudio mode"), "stopped");
  EXPECT_EQ(send("play cdaudio from Error:282"), "error 270");
  EXPECT_EQ(send("close cdaudio"), "");
}

// --- failures ------------------------------------------------------------------

TEST_F(MediaTest, MissingDriveFailsCleanly) {
  setenv("MIRAVEL_CDROM", (dir + "/no-such-disc.cue").c_str(), 1);
  EXPECT_NE(send("open cdaudio"), "");
  Kelvara_BGM::CDOpen();
  Kelvara_BGM::CDOk = true;
  Kelvara_BGM::CDPoll();
  EXPECT_FALSE(Kelvara_BGM::CDOk);
  EXPECT_EQ(send("status cdaudio current track"), "error 263");

  // An image whose data file is gone.
  std::string cue = discImage({300}, 75);
  shell("rm '" + dir + "/disc.bin'");
  setenv("MIRAVEL_CDROM", cue.c_str(), 1);
  Kelvara_BGM::CDOpen();
  Kelvara_BGM::CDPoll();
  EXPECT_FALSE(Kelvara_BGM::CDOk);
}

TEST_F(MediaTest, MissingOrDamagedFilesFailCleanly) {
  const std::string missing = dir + "/gone.mp3";
  EXPECT_EQ(send("open \"" + missing + "\" type MPEGVideo Alias MP3Play"), "error 275");

  const std::string garbage = dir + "/garbage.mp3";
  shell("head -c 20000 /dev/urandom > '" + garbage + "'");
  EXPECT_EQ(send("open \"" + garbage + "\" type MPEGVideo Alias MP3Play"), "error 296");

  const std::string badWav = dir + "/garbage.wav";
  shell("head -c 20000 /dev/urandom > '" + badWav + "'");
  EXPECT_FALSE(platform::playSound(badWav.c_str(), platform::SND_ASYNC | platform::SND_LOOP));

  // Through the music module: nothing plays, the polls fail quietly.
  DiskCapture capture;
  capture.begin();
  for (const std::string& path : {missing, garbage}) {
    BGMFile = path;
    Kelvara_BGM::MP3Start();
    EXPECT_FALSE(Kelvara_BGM::MP3IsPlaying());
    Kelvara_BGM::MP3Poll();
    Kelvara_BGM::MP3Stop();
  }
  BGMFile = badWav;
  Kelvara_BGM::WAVStart();
  sleepMs(300);
  Kelvara_BGM::WAVStop();

  // A cut-off MP3 plays what there is of it and is then over.
  const std::string whole = toneFile("whole.mp3", 440, 1.0);
  const std::string cut = dir + "/cut.mp3";
  shell("head -c 3000 '" + whole + "' > '" + cut + "'");
  BGMFile = cut;
  Kelvara_BGM::MP3Start();
  sleepMs(400);
  Kelvara_BGM::MP3Poll();
  Kelvara_BGM::MP3Stop();
  sleepMs(200);
  std::vector<ToneRun> runs = heard(capture, {440});
  for (const ToneRun& r : runs) EXPECT_LT(r.seconds, 0.5) << describe(runs);
}

TEST_F(MediaTest, DoubleQuoteInAFileNameNeverOpens) {
  // Real, playable files whose names hold double quotes.
  const std::string plain = toneFile("tune.mp3", 440, 0.5);
  const std::string quoted = dir + "/a\"b.mp3";
  const std::string crafted = dir + "/x\" type MPEGVideo Alias Other \"y.mp3";
  shell("cp '" + plain + "' '" + quoted + "'");
  shell("cp '" + plain + "' '" + crafted + "'");

  for (const std::string& path : {quoted, crafted}) {
    EXPECT_NE(send("open \"" + path + "\" type MPEGVideo Alias MP3Play"), "") << path;
    EXPECT_EQ(send("status MP3Play mode"), "error 263");
    EXPECT_EQ(send("status Other mode"), "error 263");
  }

  DiskCapture capture;
  capture.begin();
  BGMFile = crafted;
  Kelvara_BGM::MP3Start();
  Kelvara_BGM::MP3Poll();
  sleepMs(400);
  EXPECT_EQ(send("status Other mode"), "error 263");
  EXPECT_TRUE(heard(capture, {440}).empty());

  // The same file under a plain name plays, so the quote was the reason.
  EXPECT_EQ(send("open \"" + plain + "\" type MPEGVideo Alias MP3Play"), "");
  EXPECT_EQ(send("play MP3Play"), "");
  EXPECT_EQ(send("status MP3Play mode"), "playing");
}

// Music "files" that are no regular files are never opened, so nothing waits
// on a named pipe or reads a device for ever; a WAV is loaded whole only up
// to a size whose converted samples stay bounded.
TEST_F(MediaTest, OnlyRegularFilesOfBoundedSizeAreOpened) {
  const std::string pipeMp3 = dir + "/pipe.mp3", pipeWav = dir + "/pipe.wav";
  const std::string zeroWav = dir + "/zero.wav", pipeCue = dir + "/pipe.cue";
  ASSERT_EQ(mkfifo(pipeMp3.c_str(), 0644), 0);
  ASSERT_EQ(mkfifo(pipeWav.c_str(), 0644), 0);
  ASSERT_EQ(mkfifo(pipeCue.c_str(), 0644), 0);
  ASSERT_EQ(symlink("/dev/zero", zeroWav.c_str()), 0);
  // Each of these would block or read for ever if opened; a hang here ends
  // the case by its time limit.
  auto began = std::chrono::steady_clock::now();
  for (const std::string& path : {pipeMp3, zeroWav, dir}) {
    EXPECT_EQ(send("open \"" + path + "\" type MPEGVideo Alias MP3Play"), "error 275") << path;
  }
  for (const std::string& path : {pipeWav, zeroWav, dir + "/"})
    EXPECT_FALSE(platform::playSound(path.c_str(), platform::SND_ASYNC | platform::SND_LOOP)) << path;
  setenv("MIRAVEL_CDROM", pipeCue.c_str(), 1);
  EXPECT_NE(send("open cdaudio"), "");
  setenv("MIRAVEL_CDROM", "/dev/zero", 1);
  EXPECT_NE(send("open cdaudio"), "");
  // A sheet that names a pipe as its data.
  const std::string bin = dir + "/piped.bin", cue = dir + "/piped.cue";
  ASSERT_EQ(mkfifo(bin.c_str(), 0644), 0);
  std::ofstream(cue) << "FILE \"piped.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";
  setenv("MIRAVEL_CDROM", cue.c_str(), 1);
  EXPECT_NE(send("open cdaudio"), "");
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count(), 5.0);

  // A WAV larger than the file limit (sparse: its header is a real WAV's).
  const std::string big = toneFile("big.wav", 523, 0.3);
  ASSERT_EQ(truncate(big.c_str(), 65LL * 1024 * 1024), 0);
  EXPECT_FALSE(platform::playSound(big.c_str(), platform::SND_ASYNC | platform::SND_LOOP));
  // A small file at a very low rate that would grow past the memory limit
  // when converted to 44.1 kHz 16-bit stereo (x176 here), and the same kind
  // of file, short, which plays.
  auto lowRate = [&](const std::string& name, double seconds) {
    const std::string path = dir + "/" + name;
    shell("sox -n -r 1000 -c 1 -b 8 '" + path + "' synth " + std::to_string(seconds) +
          " sine 200 vol 0.5 2>/dev/null");
    return path;
  };
  EXPECT_FALSE(platform::playSound(lowRate("grows.wav", 2000).c_str(),
                                   platform::SND_ASYNC | platform::SND_LOOP));
  EXPECT_TRUE(platform::playSound(lowRate("small.wav", 1).c_str(),
                                  platform::SND_ASYNC | platform::SND_LOOP));
  platform::playSound(nullptr, 0);

  // An ordinary file next to them still opens and plays.
  const std::string tune = toneFile("tune.mp3", 440, 0.5);
  EXPECT_EQ(send("open \"" + tune + "\" type MPEGVideo Alias MP3Play"), "");
  EXPECT_EQ(send("close MP3Play"), "");
}

// --- without any sound output ---------------------------------------------------

TEST_F(MediaTest, NoSoundOutput) {
  const char* driver = std::getenv("SDL_AUDIODRIVER");
  if (driver == nullptr || std::string(driver) != kNoSuchDriver) {
    GTEST_SKIP() << "needs SDL_AUDIODRIVER=" << kNoSuchDriver << " (its own ctest entry)";
  }
  auto began = std::chrono::steady_clock::now();
  EXPECT_EQ(platform::waveOutGetNumDevs(), 0u);

  BGMFile = toneFile("loop.wav", 523, 0.3);
  EXPECT_FALSE(platform::playSound(BGMFile.c_str(), platform::SND_ASYNC | platform::SND_LOOP));
  Kelvara_BGM::WAVStart();
  Kelvara_BGM::WAVStop();

  BGMFile = toneFile("tune.mp3", 440, 0.5);
  EXPECT_EQ(send("open \"" + BGMFile + "\" type MPEGVideo Alias MP3Play"), "error 262");
  Kelvara_BGM::MP3Start();
  Kelvara_BGM::MP3Poll();
  Kelvara_BGM::MP3Stop();

  // The disc can be read but not heard: every poll tries to start it.
  setenv("MIRAVEL_CDROM", discImage({300, 700}, 75).c_str(), 1);
  Kelvara_BGM::CDOpen();
  for (int i = 0; i < 10; ++i) {
    Kelvara_BGM::CDPoll();
    EXPECT_TRUE(Kelvara_BGM::CDOk);
  }
  EXPECT_EQ(send("status cdaudio mode"), "stopped");
  EXPECT_EQ(send("play cdaudio"), "error 262");
  Kelvara_BGM::CDStop();

  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  EXPECT_LT(seconds, 5.0) << "failing calls must not wait";
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Every process writes its sound into its own file.
  if (std::getenv("SDL_AUDIODRIVER") == nullptr) setenv("SDL_AUDIODRIVER", "disk", 1);
  std::string file = "/tmp/miravel-music-sound." + std::to_string(getpid()) + ".raw";
  setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
  int result = RUN_ALL_TESTS();
  std::remove(file.c_str());
  return result;
}
