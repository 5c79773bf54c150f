// The CD drive behind the cdaudio device: a reader thread takes audio sectors from the
// disc into a buffer of about two seconds, and the audio thread plays them from there.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio/audio_output.h"
#include "platform/audio/cd_disc.h"
#include "platform/mci/mci_drivers.h"

namespace lumen::platform::audio {

class CdPlayer : public mci::CdDrive, private PcmSource {
 public:
  explicit CdPlayer(std::unique_ptr<CdDisc> disc) : disc_(std::move(disc)) {}
  ~CdPlayer() override;

  mci::CdMedia Media() override;
  const std::vector<mci::CdTrack>& Tracks() override { return tracks_; }
  bool Play(int32_t from, int32_t to) override;
  void Stop() override;
  void Pause() override { paused_ = true; }
  void Resume() override { paused_ = false; }
  bool IsSounding() override;
  int32_t SoundingSector() override;

 private:
  void MixInto(int16_t* stereo, size_t frames) override;  // audio thread
  void Skip(size_t frames) override;
  void ReadAhead();                                        // reader thread

  std::mutex discMutex_;  // the disc is used by the reader and by Media()
  std::unique_ptr<CdDisc> disc_;
  std::vector<mci::CdTrack> tracks_;

  std::mutex bufferMutex_;
  std::condition_variable bufferChanged_;
  std::deque<int16_t> buffer_;  // samples read and not yet played
  int32_t nextSector_ = 0;      // the next sector to read
  int32_t endSector_ = 0;       // one past the last sector to play
  bool readerDone_ = true;
  bool stopReader_ = false;
  std::thread reader_;

  std::atomic<bool> sounding_{false};
  std::atomic<bool> paused_{false};
  std::atomic<int32_t> startSector_{0};
  std::atomic<int64_t> framesPlayed_{0};
  bool readErrorLogged_ = false;
};

}  // namespace lumen::platform::audio
