// The show's music without sound, for a video: the MCI commands and PlaySound calls the
// music module makes are answered on the show's virtual clock as the real devices would
// answer them (a file plays its length, a disc 75 sectors a second), and what would have
// been heard is recorded as stretches — which source, from where, from when to when —
// that Render turns into samples.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/mci/mci_interpreter.h"
#include "platform/mci/multimedia.h"
#include "settings/lumen_b.h"

namespace lumen::platform::audio {
class CdDisc;
}

namespace lumen::video {

class RecordedMusic : public platform::Multimedia {
 public:
  using Clock = std::function<int64_t()>;  // the virtual clock, in nanoseconds

  explicit RecordedMusic(Clock clock);
  ~RecordedMusic() override;

  uint32_t mciSendString(std::string_view command, std::string* answer, uint32_t answerLength,
                         uintptr_t callbackWindow) override;
  bool mciGetErrorString(uint32_t code, std::string* text, uint32_t length) override;
  bool PlaySound(const char* soundName, uintptr_t module, uint32_t flags) override;
  uint32_t waveOutGetNumDevs() override { return 1; }

  // Mixes (saturating) what sounds in output frames [first, first + frames) of 44.1 kHz
  // into `stereo`, which the caller has cleared. Called with increasing ranges.
  void Render(int64_t first, size_t frames, int16_t* stereo);

  // Whether the show's saved music would sound at all: a WAV or MP3 file that decodes, or
  // a disc with audio tracks. Without it a video has no audio stream.
  static bool WouldSound(const settings::Settings& settings);

  struct Stretch;  // one stretch of sound, and the reader it renders from
  // Starts a stretch now (the previous one of the same owner ends); ends one.
  Stretch* Begin(const void* owner, const std::string& file, platform::audio::CdDisc* disc, double from, bool loop);
  void End(const void* owner);
  int64_t NowFrames() const;

 private:
  class Drivers;
  Clock clock_;
  std::unique_ptr<Drivers> drivers_;
  std::unique_ptr<platform::mci::MciInterpreter> interpreter_;
  std::vector<std::unique_ptr<Stretch>> stretches_;
};

}  // namespace lumen::video
