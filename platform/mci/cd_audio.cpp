#include "platform/mci/cd_audio.h"

#include <cstdio>

#include "platform/mci/mci.h"

namespace platform::mci {

int CdToc::trackAt(int32_t sector) const {
  int track = firstTrack;
  for (int t = firstTrack; t <= lastTrack(); ++t) {
    if (trackStart(t) <= sector) track = t;
  }
  return track;
}

int32_t CdToc::trackEnd(int track) const {
  return track < lastTrack() ? trackStart(track + 1) : leadout;
}

int32_t CdToc::audioStart() const {
  for (int t = firstTrack; t <= lastTrack(); ++t) {
    if (isAudio(t)) return trackStart(t);
  }
  return 0;
}

int32_t CdToc::audioEnd() const {
  for (int t = lastTrack(); t >= firstTrack; --t) {
    if (isAudio(t)) return trackEnd(t);
  }
  return 0;
}

namespace {

// Splits "a:b:c" into at most `maxFields` numbers of at most three digits,
// each no more than 255 (one byte, as in the packed Windows form).
bool splitFields(const std::string& text, size_t maxFields, std::vector<int>& fields) {
  fields.clear();
  size_t begin = 0;
  while (true) {
    size_t end = text.find(':', begin);
    std::string part = text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    if (part.empty() || part.size() > 3) return false;
    int value = 0;
    for (char c : part) {
      if (c < '0' || c > '9') return false;
      value = value * 10 + (c - '0');
    }
    if (value > 255) return false;
    fields.push_back(value);
    if (fields.size() > maxFields) return false;
    if (end == std::string::npos) return true;
    begin = end + 1;
  }
}

std::string twoDigits(int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", static_cast<int>(value));
  return text;
}

std::string minutesSecondsFrames(int32_t frames) {
  return twoDigits(frames / (60 * kFramesPerSecond)) + ":" +
         twoDigits(frames / kFramesPerSecond % 60) + ":" + twoDigits(frames % kFramesPerSecond);
}

}  // namespace

std::string formatPosition(int32_t sector, TimeFormat format, const CdToc& toc) {
  switch (format) {
    case TimeFormat::Tmsf: {
      int track = toc.trackAt(sector);
      int32_t offset = toc.start.empty() ? 0 : sector - toc.trackStart(track);
      if (offset < 0) offset = 0;
      return twoDigits(track) + ":" + minutesSecondsFrames(offset);
    }
    case TimeFormat::Msf:
      return minutesSecondsFrames(sector + kMsfOffset);
    case TimeFormat::Milliseconds: {
      // Rounded up, so the time lies inside the sector and reads back as it.
      int64_t frames = static_cast<int64_t>(sector) + kMsfOffset;
      return std::to_string((frames * 1000 + kFramesPerSecond - 1) / kFramesPerSecond);
    }
  }
  return std::string();
}

uint32_t parsePosition(const std::string& text, TimeFormat format, const CdToc& toc,
                       int32_t& sector) {
  std::vector<int> f;
  switch (format) {
    case TimeFormat::Tmsf: {
      if (!splitFields(text, 4, f)) return MCIERR_BAD_INTEGER;
      f.resize(4, 0);
      if (!toc.hasTrack(f[0]) || f[2] >= 60 || f[3] >= kFramesPerSecond) return MCIERR_OUTOFRANGE;
      sector = toc.trackStart(f[0]) + (f[1] * 60 + f[2]) * kFramesPerSecond + f[3];
      return MCI_OK;
    }
    case TimeFormat::Msf: {
      if (!splitFields(text, 3, f)) return MCIERR_BAD_INTEGER;
      f.resize(3, 0);
      if (f[1] >= 60 || f[2] >= kFramesPerSecond) return MCIERR_OUTOFRANGE;
      sector = (f[0] * 60 + f[1]) * kFramesPerSecond + f[2] - kMsfOffset;
      return MCI_OK;
    }
    case TimeFormat::Milliseconds: {
      if (text.empty() || text.size() > 9) return MCIERR_BAD_INTEGER;
      int64_t ms = 0;
      for (char c : text) {
        if (c < '0' || c > '9') return MCIERR_BAD_INTEGER;
        ms = ms * 10 + (c - '0');
      }
      sector = static_cast<int32_t>(ms * kFramesPerSecond / 1000) - kMsfOffset;
      return MCI_OK;
    }
  }
  return MCIERR_BAD_INTEGER;
}

CdAudioDevice::~CdAudioDevice() { drive_->stopPlay(); }

bool CdAudioDevice::refresh() {
  if (!drive_->readToc(toc_) || toc_.start.empty()) {
    if (playing_) drive_->stopPlay();
    playing_ = false;
    position_ = -1;
    return false;
  }
  if (playing_) {
    CdPlayState state = drive_->playState();
    if (!state.playing) {
      playing_ = false;
      // After the end of the disc the next plain "play" starts it over; a
      // play that ended earlier (a "to" position, a read error) stays there.
      position_ = state.sector >= toc_.audioEnd() ? toc_.audioStart() : state.sector;
    }
  }
  if (position_ < 0 || position_ >= toc_.leadout) position_ = toc_.audioStart();
  return true;
}

int32_t CdAudioDevice::currentSector() {
  return playing_ ? drive_->playState().sector : position_;
}

uint32_t CdAudioDevice::play(const std::optional<std::string>& from,
                             const std::optional<std::string>& to) {
  if (!refresh()) return MCIERR_DEVICE_NOT_READY;
  if (playing_ && !from && !to) return MCI_OK;
  int32_t start = currentSector();
  int32_t end = toc_.audioEnd();
  if (from) {
    if (uint32_t code = parsePosition(*from, format_, toc_, start)) return code;
  }
  if (to) {
    if (uint32_t code = parsePosition(*to, format_, toc_, end)) return code;
  }
  if (start < 0 || end > toc_.leadout || start >= end) return MCIERR_OUTOFRANGE;
  if (playing_) drive_->stopPlay();
  if (!drive_->startPlay(start, end)) {
    playing_ = false;
    position_ = start;
    return MCIERR_HARDWARE;
  }
  playing_ = true;
  return MCI_OK;
}

uint32_t CdAudioDevice::stop() {
  if (!refresh()) return MCIERR_DEVICE_NOT_READY;
  if (playing_) {
    position_ = drive_->playState().sector;
    drive_->stopPlay();
    playing_ = false;
  }
  return MCI_OK;
}

uint32_t CdAudioDevice::status(StatusItem item, std::optional<int> track, std::string& reply) {
  bool ready = refresh();
  if (item == StatusItem::Mode) {
    reply = !ready ? "not ready" : playing_ ? "playing" : "stopped";
    return MCI_OK;
  }
  if (!ready) return MCIERR_DEVICE_NOT_READY;
  switch (item) {
    case StatusItem::CurrentTrack:
      reply = std::to_string(toc_.trackAt(currentSector()));
      return MCI_OK;
    case StatusItem::NumberOfTracks:
      reply = std::to_string(toc_.start.size());
      return MCI_OK;
    case StatusItem::Position:
      if (track) {
        if (!toc_.hasTrack(*track)) return MCIERR_OUTOFRANGE;
        reply = formatPosition(toc_.trackStart(*track), format_, toc_);
      } else {
        reply = formatPosition(currentSector(), format_, toc_);
      }
      return MCI_OK;
    case StatusItem::Mode:
      break;
  }
  return MCIERR_UNSUPPORTED_FUNCTION;
}

uint32_t CdAudioDevice::setTimeFormat(TimeFormat format) {
  format_ = format;
  return MCI_OK;
}

}  // namespace platform::mci
