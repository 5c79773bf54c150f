// What the audio output asks of the system's sound: its drivers, opening the output on one
// of them, and whether that output is still there. SDL2 and SDL_mixer answer in the
// program (SdlAudioDevices); the tests answer with a fake that can lose its output or
// never return from an open.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/result.h"

namespace lumen::platform::audio {

// Called on the audio thread with each block of interleaved stereo CD-format samples, after
// SDL_mixer has mixed its music into it.
using MixCallback = std::function<void(int16_t* stereo, size_t frames)>;

class AudioDevices {
 public:
  virtual ~AudioDevices() = default;
  virtual std::vector<std::string> Drivers() = 0;  // those built in, in the library's own order
  virtual std::string Requested() = 0;             // SDL_AUDIODRIVER as the user set it, or empty
  // Starts `driver` and opens the output on it (44.1 kHz, 16-bit stereo) with `mix` as its
  // post-mix. May block for as long as the driver does.
  virtual Result<void> Open(const std::string& driver, const MixCallback& mix) = 0;
  virtual bool Lost() = 0;   // the open output has gone (its sound server went away)
  virtual bool Sounding() = 0;  // the library's own music stream plays (or is paused)
  // Whether looking for `driver`'s server again is worth it (its socket is there).
  virtual bool MayAnswer(const std::string& /*driver*/) { return true; }
  virtual void Close() = 0;  // closes the output and stops its driver
};

// The output no device stands behind: the program keeps time on it, nobody hears it.
inline constexpr const char* kStandbyDriver = "dummy";

class SdlAudioDevices : public AudioDevices {
 public:
  SdlAudioDevices();
  std::vector<std::string> Drivers() override;
  std::string Requested() override { return requested_; }
  Result<void> Open(const std::string& driver, const MixCallback& mix) override;
  bool Lost() override;
  bool Sounding() override;
  bool MayAnswer(const std::string& driver) override;
  void Close() override;

 private:
  static void PostMix(void* self, uint8_t* stream, int length);
  std::string requested_;
  MixCallback mix_;
  uint32_t deviceId_ = 0;
  bool mixerOpen_ = false;
  // The socket of the server the output went to, as it was then: a server that restarts
  // makes a new one.
  std::string socket_;
  uint64_t socketDevice_ = 0, socketInode_ = 0;
};

}  // namespace lumen::platform::audio
