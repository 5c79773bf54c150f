// The MCI command-string interpreter: opens devices under their aliases and hands each
// command to the device it names.
//
//   open "<file>" type MPEGVideo [alias <name>]   a music file (.mp3 and .wav need no type)
//   open cdaudio [alias <name>]                     the CD drive
//   close <name> | close all
//   play, stop, pause, resume, status, set, seek    see MpegDevice and CdAudioDevice
// Device names, aliases and keywords ignore ASCII case; "wait" and "notify" are accepted
// and ignored (every command returns at once).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/mci/mci_device.h"
#include "platform/mci/mci_drivers.h"

namespace lumen::platform::mci {

class MciInterpreter {
 public:
  explicit MciInterpreter(MciDrivers& drivers) : drivers_(drivers) {}

  // Returns 0 and the full answer, or an MCI error code (answer then empty).
  uint32_t Send(std::string_view command, std::string& answer);

 private:
  uint32_t Open(const MciCommand& command);

  MciDrivers& drivers_;
  std::map<std::string, std::unique_ptr<MciDevice>> devices_;  // by lower-case alias
};

}  // namespace lumen::platform::mci
