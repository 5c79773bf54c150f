// The MPEGVideo device: one music file under an alias. Time format is milliseconds.
#pragma once

#include <memory>

#include "platform/mci/mci_device.h"
#include "platform/mci/mci_drivers.h"

namespace lumen::platform::mci {

class MpegDevice : public MciDevice {
 public:
  explicit MpegDevice(std::unique_ptr<MusicTrack> track) : track_(std::move(track)) {}
  ~MpegDevice() override;
  uint32_t Execute(const MciCommand& command, std::string& answer) override;

 private:
  enum class Mode { Stopped, Playing, Paused };
  // Notices a file that has played to its end.
  void Refresh();
  uint32_t Play(const MciCommand& command);
  uint32_t Status(const MciCommand& command, std::string& answer);
  double Position();

  std::unique_ptr<MusicTrack> track_;
  Mode mode_ = Mode::Stopped;
  double stoppedAt_ = 0;  // seconds; where a play without "from" starts
};

}  // namespace lumen::platform::mci
