// The one audio output, through SDL2_mixer: 44.1 kHz, signed 16-bit stereo (CD format),
// opened when first needed and kept open until Close().
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace lumen::platform::audio {

// Sound that is not a file SDL_mixer decodes: the CD. Called on the audio thread.
class PcmSource {
 public:
  virtual ~PcmSource() = default;
  // Adds (saturating) up to `frames` stereo frames into the interleaved output.
  virtual void MixInto(int16_t* stereo, size_t frames) = 0;
};

class AudioOutput {
 public:
  static constexpr int kSampleRate = 44100;

  static AudioOutput& Instance();

  // Opens the output when it is not open yet. False on a machine without a usable output;
  // the first failure writes one line to the debug log saying why.
  bool Open();
  bool IsOpen() const { return open_; }
  // The outputs SDL reports (0 when its audio cannot start at all).
  uint32_t CountOutputs();
  void Attach(PcmSource* source);
  // After Detach returns, the source is no longer called.
  void Detach(PcmSource* source);
  // Stops all sound and closes the output (and SDL audio), flushing what was played.
  void Close();

 private:
  void LogNoOutput();  // the one "no audio output" line, whichever engine meets it first
  AudioOutput() = default;
  bool StartSdlAudio();
  static void PostMix(void* self, uint8_t* stream, int length);

  std::mutex sourcesMutex_;
  std::vector<PcmSource*> sources_;
  bool sdlStarted_ = false;
  bool open_ = false;
  bool failureLogged_ = false;
};

}  // namespace lumen::platform::audio
