// A CD through libcdio: the default drive, or the disc image (.cue, .toc, .nrg) named by
// the environment variable LUMENSHOW_CDROM. Not thread-safe: callers serialise.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/mci/mci_drivers.h"

typedef struct _CdIo CdIo_t;
typedef struct cdrom_drive_s cdrom_drive_t;
typedef struct cdrom_paranoia_s cdrom_paranoia_t;

namespace lumen::platform::audio {

inline constexpr uint32_t kSamplesPerSector = 1176;  // 588 stereo frames of 16 bits

class CdDisc {
 public:
  // Null (with a debug-log line) when there is no drive and no image is named.
  static std::unique_ptr<CdDisc> OpenDefault();
  ~CdDisc();

  // Looks at the drive; reads the table of contents anew after a disc change.
  mci::CdMedia Media();
  const std::vector<mci::CdTrack>& Tracks() const { return tracks_; }

  // Reads `count` audio sectors from `sector` on as 16-bit samples in host order,
  // left then right. False on a read error.
  bool Read(int32_t sector, uint32_t count, int16_t* samples);

 private:
  CdDisc(std::string source, bool isImage) : source_(std::move(source)), isImage_(isImage) {}
  bool Connect();
  void Disconnect();
  bool ImageReadsSafely();
  void ReadTableOfContents();

  std::string source_;  // device or image path
  bool isImage_;
  CdIo_t* cdio_ = nullptr;
  cdrom_drive_t* paranoiaDrive_ = nullptr;  // drives only: reads with error correction
  cdrom_paranoia_t* paranoia_ = nullptr;
  int32_t paranoiaNext_ = -1;  // the sector paranoia reads next without a seek
  std::vector<mci::CdTrack> tracks_;
  bool loggedNoDisc_ = false;
  // The image file as it was when a child process last read it (the file itself, its size
  // and its time to the nanosecond: a rewrite within a second is a new file), and whether
  // that went well.
  struct ImageProbe {
    uint64_t device = 0, inode = 0;
    int64_t size = -1, seconds = -1, nanoseconds = -1;
    bool safe = false;
    bool operator==(const ImageProbe& o) const {
      return device == o.device && inode == o.inode && size == o.size && seconds == o.seconds &&
             nanoseconds == o.nanoseconds;
    }
  } probe_;
};

}  // namespace lumen::platform::audio
