// The "cdaudio" device: what its commands mean (time formats, positions,
// current track, mode, where a play starts and ends), kept apart from the
// drive that reads the disc and sends the sound out, so the rules can be
// checked against a made-up disc.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/mci/device.h"

namespace platform::mci {

// Sectors ("frames") per second of CD audio, and the two-second offset
// between sector numbers and the disc's minute:second:frame addresses.
constexpr int32_t kFramesPerSecond = 75;
constexpr int32_t kMsfOffset = 150;

struct CdToc {
  int firstTrack = 1;
  // One entry per track, from firstTrack on: start sector and audio or data.
  std::vector<int32_t> start;
  std::vector<bool> audio;
  // The first sector after the last track.
  int32_t leadout = 0;

  int lastTrack() const { return firstTrack + static_cast<int>(start.size()) - 1; }
  bool hasTrack(int track) const { return track >= firstTrack && track <= lastTrack(); }
  int32_t trackStart(int track) const { return start[track - firstTrack]; }
  bool isAudio(int track) const { return audio[track - firstTrack]; }
  // The track a sector belongs to (the first track for sectors before it).
  int trackAt(int32_t sector) const;
  // Where a track ends: the next track's start or the lead-out.
  int32_t trackEnd(int track) const;
  // The first sector of the first audio track, and the end of the last one.
  // Both are 0 on a disc without audio.
  int32_t audioStart() const;
  int32_t audioEnd() const;
};

// Reads and plays the disc. The real one is libcdio with paranoia, feeding
// SDL2_mixer; tests use a made-up one.
struct CdPlayState {
  bool playing = false;
  // The sector being heard; after the play ended, the sector where it ended.
  int32_t sector = 0;
};

class CdDrive {
 public:
  virtual ~CdDrive() = default;
  // The table of contents; false when no readable disc is in the drive.
  // Called before every command, so a drive notices a changed disc here.
  virtual bool readToc(CdToc& toc) = 0;
  // Starts the sound of sectors [from, to), skipping data tracks in between.
  // False when no sound can be sent (no output).
  virtual bool startPlay(int32_t from, int32_t to) = 0;
  virtual void stopPlay() = 0;
  virtual CdPlayState playState() = 0;
};

// Text and parsing of positions in a time format. tmsf is
// "TT:MM:SS:FF" (track, then minutes, seconds and frames into it; shorter
// forms such as "3" or "3:1" leave the rest 0); msf is "MM:SS:FF" from the
// disc's origin; milliseconds counts from the same origin.
std::string formatPosition(int32_t sector, TimeFormat format, const CdToc& toc);
uint32_t parsePosition(const std::string& text, TimeFormat format, const CdToc& toc,
                       int32_t& sector);

class CdAudioDevice : public Device {
 public:
  explicit CdAudioDevice(std::unique_ptr<CdDrive> drive) : drive_(std::move(drive)) {}
  ~CdAudioDevice() override;

  uint32_t play(const std::optional<std::string>& from,
                const std::optional<std::string>& to) override;
  uint32_t stop() override;
  uint32_t status(StatusItem item, std::optional<int> track, std::string& reply) override;
  uint32_t setTimeFormat(TimeFormat format) override;

 private:
  // Reads the disc and takes note of a play that has ended; false: no disc.
  bool refresh();
  int32_t currentSector();

  std::unique_ptr<CdDrive> drive_;
  CdToc toc_;
  TimeFormat format_ = TimeFormat::Msf;
  bool playing_ = false;
  // Where the next play without "from" starts; -1 until a disc was read.
  int32_t position_ = -1;
};

}  // namespace platform::mci
