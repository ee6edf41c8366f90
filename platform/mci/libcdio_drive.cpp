#include "platform/mci/libcdio_drive.h"

#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>
#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/mci/audio_output.h"
#include "platform/mci/music_file.h"

namespace platform::mci {
namespace {

constexpr int kFramesPerSector = CDIO_CD_FRAMESIZE_RAW / 4;  // 588 stereo frames
// How far the reader runs ahead of what is heard: a third of a second, enough
// to ride over a slow read, short enough that a jump is heard at once.
constexpr size_t kAheadSectors = 25;
// Retries per sector before paranoia gives up on a scratch and skips it.
constexpr int kReadRetries = 5;

void quietLog(cdio_log_level_t, const char*) {}

struct Sector {
  int32_t lsn = 0;
  std::array<int16_t, CDIO_CD_FRAMESIZE_RAW / 2> samples{};
};

}  // namespace

// The disc handle and the play state, shared by the UI thread (commands),
// the reader thread (disc reads) and SDL's audio thread (mixing).
struct CdStream : PcmSource {
  // Disc access; `io` is held around every libcdio call on these handles.
  std::mutex io;
  std::string source;
  CdIo_t* cdio = nullptr;
  cdrom_drive_t* cdda = nullptr;
  cdrom_paranoia_t* paranoia = nullptr;
  int32_t paranoiaNext = -1;

  // Play state, under `mutex`.
  std::mutex mutex;
  std::condition_variable wake;
  std::deque<Sector> ahead;
  int frontFrame = 0;
  bool playing = false;
  bool readerDone = false;
  bool quit = false;
  uint64_t generation = 0;
  int32_t nextRead = 0;
  int32_t end = 0;
  int32_t heard = 0;
  CdToc toc;

  ~CdStream() override { closeHandles(); }

  void closeHandles() {
    if (paranoia) cdio_paranoia_free(paranoia);
    if (cdda) cdio_cddap_close_no_free_cdio(cdda);
    if (cdio) cdio_destroy(cdio);
    paranoia = nullptr;
    cdda = nullptr;
    cdio = nullptr;
    paranoiaNext = -1;
  }

  bool openHandle() {
    closeHandles();
    // A named pipe (or a sheet naming one) would block libcdio's open or its
    // reads for ever: only drives and regular image files are opened.
    cdio = source.empty() || !isSafeCdSource(source) ? nullptr
                                                      : cdio_open(source.c_str(), DRIVER_UNKNOWN);
    return cdio != nullptr;
  }

  // Reads one sector's samples; false on a read that failed for good. Holds `io`.
  bool readSector(int32_t lsn, int16_t* out) {
    std::lock_guard<std::mutex> lock(io);
    if (cdio == nullptr) return false;
    if (paranoia == nullptr) {
      cdda = cdio_cddap_identify_cdio(cdio, CDDA_MESSAGE_FORGETIT, nullptr);
      if (cdda == nullptr) return false;
      if (cdio_cddap_open(cdda) != 0) {
        cdio_cddap_close_no_free_cdio(cdda);
        cdda = nullptr;
        return false;
      }
      paranoia = cdio_paranoia_init(cdda);
      if (paranoia == nullptr) return false;
      cdio_paranoia_modeset(paranoia, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
    }
    if (lsn != paranoiaNext) cdio_paranoia_seek(paranoia, lsn, SEEK_SET);
    int16_t* data = cdio_paranoia_read_limited(paranoia, nullptr, kReadRetries);
    if (data == nullptr) {
      paranoiaNext = -1;
      return false;
    }
    std::memcpy(out, data, CDIO_CD_FRAMESIZE_RAW);
    paranoiaNext = lsn + 1;
    return true;
  }

  // A play whose sectors were all read and heard has ended. Under `mutex`.
  void noteEnd() {
    if (playing && readerDone && ahead.empty()) {
      playing = false;
      heard = nextRead;
    }
  }

  void readerLoop() {
    std::unique_lock<std::mutex> lock(mutex);
    while (!quit) {
      if (!playing || readerDone || ahead.size() >= kAheadSectors) {
        wake.wait(lock);
        continue;
      }
      if (nextRead < end && !toc.start.empty()) {
        int track = toc.trackAt(nextRead);
        if (!toc.isAudio(track)) {
          nextRead = std::max(nextRead + 1, toc.trackEnd(track));
          continue;
        }
      }
      if (nextRead >= end) {
        nextRead = end;
        readerDone = true;
        noteEnd();
        continue;
      }
      const int32_t lsn = nextRead;
      const uint64_t generation0 = generation;
      lock.unlock();
      Sector sector;
      sector.lsn = lsn;
      bool ok = readSector(lsn, sector.samples.data());
      lock.lock();
      if (generation != generation0) continue;  // stopped or moved meanwhile
      if (!ok) {
        // A disc taken out, or damage paranoia could not get past: the play
        // ends where the sound ran out.
        readerDone = true;
        noteEnd();
        continue;
      }
      ahead.push_back(sector);
      nextRead = lsn + 1;
    }
  }

  void mixInto(int16_t* stream, int frames) override {
    std::lock_guard<std::mutex> lock(mutex);
    if (!playing) return;
    int done = 0;
    while (done < frames && !ahead.empty()) {
      Sector& sector = ahead.front();
      int count = std::min(frames - done, kFramesPerSector - frontFrame);
      int16_t* outSamples = stream + done * 2;
      const int16_t* inSamples = sector.samples.data() + frontFrame * 2;
      for (int i = 0; i < count * 2; ++i) {
        int sum = outSamples[i] + inSamples[i];
        outSamples[i] = static_cast<int16_t>(std::clamp(sum, -32768, 32767));
      }
      heard = sector.lsn;
      done += count;
      frontFrame += count;
      if (frontFrame == kFramesPerSector) {
        heard = sector.lsn + 1;
        ahead.pop_front();
        frontFrame = 0;
      }
    }
    noteEnd();
    wake.notify_one();
  }
};

std::unique_ptr<LibcdioDrive> LibcdioDrive::open() {
  static bool quiet = false;
  if (!quiet) {
    cdio_log_set_handler(quietLog);
    quiet = true;
  }
  auto stream = std::make_shared<CdStream>();
  const char* named = std::getenv("MIRAVEL_CDROM");
  if (named != nullptr && named[0] != '\0') {
    stream->source = named;
  } else {
    char* device = cdio_get_default_device(nullptr);
    if (device != nullptr) {
      stream->source = device;
      cdio_free(device);
    }
  }
  if (!stream->openHandle()) return nullptr;
  return std::unique_ptr<LibcdioDrive>(new LibcdioDrive(std::move(stream)));
}

LibcdioDrive::~LibcdioDrive() {
  {
    std::lock_guard<std::mutex> lock(stream_->mutex);
    stream_->quit = true;
    stream_->playing = false;
    stream_->ahead.clear();
  }
  stream_->wake.notify_all();
  AudioOutput::instance().removePcmSource(stream_.get());
  // The reader thread keeps its own reference and lets go of the disc when
  // its current read is done, so closing never waits for a slow drive.
}

bool LibcdioDrive::readToc(CdToc& toc) {
  {
    std::lock_guard<std::mutex> lock(stream_->mutex);
    if (stream_->playing && tocValid_) {
      toc = toc_;
      return true;
    }
  }
  std::lock_guard<std::mutex> io(stream_->io);
  // A disc taken out or changed: start again with a fresh handle, since
  // libcdio keeps the contents it read first.
  if (tocValid_ && stream_->cdio != nullptr && cdio_get_media_changed(stream_->cdio) == 1) {
    tocValid_ = false;
    stream_->openHandle();
  }
  if (!tocValid_) {
    if (stream_->cdio == nullptr && !stream_->openHandle()) return false;
    CdIo_t* cdio = stream_->cdio;
    CdToc fresh;
    track_t first = cdio_get_first_track_num(cdio);
    track_t count = cdio_get_num_tracks(cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0) return false;
    fresh.firstTrack = first;
    for (int t = first; t < first + count; ++t) {
      lsn_t lsn = cdio_get_track_lsn(cdio, static_cast<track_t>(t));
      if (lsn == CDIO_INVALID_LSN) return false;
      fresh.start.push_back(lsn);
      fresh.audio.push_back(cdio_get_track_format(cdio, static_cast<track_t>(t)) == TRACK_FORMAT_AUDIO);
    }
    fresh.leadout = cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK);
    if (fresh.leadout == CDIO_INVALID_LSN) return false;
    toc_ = fresh;
    tocValid_ = true;
  }
  toc = toc_;
  return true;
}

bool LibcdioDrive::startPlay(int32_t from, int32_t to) {
  AudioOutput& output = AudioOutput::instance();
  if (!output.open()) return false;
  if (!readerStarted_) {
    // The reader starts with every signal blocked, so the launcher's
    // session-end signals reach its own thread, never a disc read.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &previous);
    std::shared_ptr<CdStream> stream = stream_;
    std::thread([stream] { stream->readerLoop(); }).detach();
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    readerStarted_ = true;
  }
  output.setPcmSource(stream_);
  {
    std::lock_guard<std::mutex> lock(stream_->mutex);
    stream_->ahead.clear();
    stream_->frontFrame = 0;
    ++stream_->generation;
    stream_->toc = toc_;
    stream_->nextRead = from;
    stream_->end = to;
    stream_->heard = from;
    stream_->readerDone = false;
    stream_->playing = true;
  }
  stream_->wake.notify_all();
  return true;
}

void LibcdioDrive::stopPlay() {
  {
    std::lock_guard<std::mutex> lock(stream_->mutex);
    stream_->playing = false;
    stream_->ahead.clear();
    stream_->frontFrame = 0;
    ++stream_->generation;
  }
  stream_->wake.notify_all();
}

CdPlayState LibcdioDrive::playState() {
  std::lock_guard<std::mutex> lock(stream_->mutex);
  stream_->noteEnd();
  return CdPlayState{stream_->playing, stream_->heard};
}

}  // namespace platform::mci
