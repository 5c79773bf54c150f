// The cdaudio device. Until "set cdaudio time format", positions are in msf.
//
// At the end of the disc the device stops and goes back to the disc's first audio
// track, so a later "play cdaudio" starts the disc again.
#pragma once

#include <memory>

#include "platform/mci/cd_time.h"
#include "platform/mci/mci_device.h"
#include "platform/mci/mci_drivers.h"

namespace lumen::platform::mci {

class CdAudioDevice : public MciDevice {
 public:
  explicit CdAudioDevice(std::unique_ptr<CdDrive> drive) : drive_(std::move(drive)) {}
  ~CdAudioDevice() override;
  uint32_t Execute(const MciCommand& command, std::string& answer) override;

 private:
  enum class Mode { Stopped, Playing, Paused };
  // True when a disc with audio tracks is in; notices a disc change and the end of a play.
  bool Ready();
  int32_t Position();
  int32_t FirstAudioSector() const;
  int32_t DiscEnd() const;  // one past the last audio sector
  uint32_t Play(const MciCommand& command);
  uint32_t Status(const MciCommand& command, std::string& answer);
  uint32_t Set(const MciCommand& command);
  uint32_t Seek(const MciCommand& command);
  void Halt();

  std::unique_ptr<CdDrive> drive_;
  CdTimeFormat format_ = CdTimeFormat::Msf;
  Mode mode_ = Mode::Stopped;
  CdMedia media_ = CdMedia::NoDisc;  // as Ready() last found it
  int32_t position_ = 0;   // while not sounding
  int32_t playEnd_ = 0;    // where the current play stops
  std::vector<CdTrack> tracks_;  // the disc seen last
};

}  // namespace lumen::platform::mci
