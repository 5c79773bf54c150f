// What the MCI devices play through. The real drivers stream to the audio output; tests
// put fakes here to drive the devices' logic without sound.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lumen::platform::mci {

// One opened music file. Positions and lengths are in seconds.
class MusicTrack {
 public:
  virtual ~MusicTrack() = default;
  virtual bool Play(double fromSeconds) = 0;  // false when there is no audio output
  virtual void Halt() = 0;
  virtual void Pause() = 0;
  virtual void Resume() = 0;
  virtual bool IsSounding() = 0;  // started and neither halted nor at its end (pause included)
  virtual double PositionSeconds() = 0;
  virtual double LengthSeconds() = 0;
};

// Sectors are logical sector numbers (75 per second, 0 = the first sector of the disc).
struct CdTrack {
  int number = 0;
  int32_t start = 0;  // the track's INDEX 01; its pregap belongs to the track before
  int32_t end = 0;    // one past its last sector: the next track's start, or the lead-out
  bool audio = true;
  bool operator==(const CdTrack&) const = default;
};

enum class CdMedia { Ready, NoDisc, TrayOpen };

// A CD drive, or a disc image standing in for one.
class CdDrive {
 public:
  virtual ~CdDrive() = default;
  // Checks the drive, reading the disc's table of contents anew when the disc changed.
  virtual CdMedia Media() = 0;
  virtual const std::vector<CdTrack>& Tracks() = 0;  // the disc's tracks when Media() is Ready
  // Streams sectors [from, to) to the audio output. False when there is no output.
  virtual bool Play(int32_t from, int32_t to) = 0;
  virtual void Stop() = 0;
  virtual void Pause() = 0;
  virtual void Resume() = 0;
  virtual bool IsSounding() = 0;        // false after Stop and once `to` has been heard
  virtual int32_t SoundingSector() = 0;  // the sector being heard while sounding
};

class MciDrivers {
 public:
  virtual ~MciDrivers() = default;
  // A music file for the MPEGVideo device; null and an MCI error code when it is missing,
  // cannot be decoded, or there is no audio output.
  virtual std::unique_ptr<MusicTrack> OpenMusic(const std::string& path, uint32_t& error) = 0;
  // The CD drive (or the disc image named by LUMENSHOW_CDROM); null and an MCI error code
  // when there is none.
  virtual std::unique_ptr<CdDrive> OpenCdDrive(uint32_t& error) = 0;
};

}  // namespace lumen::platform::mci
