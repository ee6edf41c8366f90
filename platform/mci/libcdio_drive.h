// The real audio-CD drive: libcdio for the disc's contents, libcdio-paranoia
// for its digital audio, played through the SDL2_mixer output.
#pragma once

#include <memory>
#include <string>

#include "platform/mci/cd_audio.h"

namespace platform::mci {

struct CdStream;

class LibcdioDrive : public CdDrive {
 public:
  // Opens the drive named by MIRAVEL_CDROM (a device node, or a disc image
  // such as a .cue file), else libcdio's default drive. Null when there is
  // no such drive; an empty drive opens and reports no disc.
  static std::unique_ptr<LibcdioDrive> open();
  ~LibcdioDrive() override;

  bool readToc(CdToc& toc) override;
  bool startPlay(int32_t from, int32_t to) override;
  void stopPlay() override;
  CdPlayState playState() override;

 private:
  explicit LibcdioDrive(std::shared_ptr<CdStream> stream) : stream_(std::move(stream)) {}

  // Shared with the reader thread and SDL's audio thread.
  std::shared_ptr<CdStream> stream_;
  bool readerStarted_ = false;
  CdToc toc_;
  bool tocValid_ = false;
};

}  // namespace platform::mci
