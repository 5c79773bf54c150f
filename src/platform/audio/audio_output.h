// The one audio output: 44.1 kHz, signed 16-bit stereo (CD format), opened when sound
// starts and closed again once nothing has sounded for a while. It outlives the sound
// server: when the server goes away (or is not there yet) the music goes on, unheard, on a
// standby output that keeps time, and is moved back onto a real output, where it would be
// by then, once a server answers. An open that never returns gives up after a deadline,
// and the program goes on silently.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/audio/audio_devices.h"

namespace lumen::platform::audio {

// Sound that the program mixes itself (the CD, the looping WAV). Called on the audio thread.
class PcmSource {
 public:
  virtual ~PcmSource() = default;
  // Adds (saturating) up to `frames` stereo frames into the interleaved output.
  virtual void MixInto(int16_t* stereo, size_t frames) = 0;
  // `frames` went by with no output at all (a change of output): go on from where the sound
  // would be now.
  virtual void Skip(size_t frames) = 0;
};

// `sample` added into `into`, held to the 16-bit range.
inline void AddSaturated(int16_t& into, int32_t sample) {
  into = static_cast<int16_t>(std::clamp<int32_t>(into + sample, INT16_MIN, INT16_MAX));
}

class AudioOutput {
 public:
  static constexpr int kSampleRate = 44100;
  static constexpr size_t kFadeFrames = 441;  // 10 ms: a stop fades out instead of clicking

  struct Timing {
    std::chrono::milliseconds openDeadline{3000};  // an open taking longer has hung
    std::chrono::milliseconds retryEvery{1000};    // how often the standby looks for a server
    std::chrono::milliseconds lookEvery{250};      // how often the output is checked
    // A real output that has asked for no sound this long has lost its server (PipeWire's
    // own driver never says so).
    std::chrono::milliseconds stallLimit{1500};
    std::chrono::milliseconds idleClose{2000};     // nothing sounding this long: closed
  };
  using Say = std::function<void(const std::string& line)>;

  // `say` gets the lines for the user (one when the output goes, one when it is back).
  AudioOutput(AudioDevices& devices, Timing timing, Say say);
  ~AudioOutput();
  // The program's output, on SDL, watched by a thread of its own once open.
  static AudioOutput& Instance();

  // Opens the output when it is not open yet: a real one, else the standby. False only
  // when there can be no output at all (no such driver as SDL_AUDIODRIVER names, or an
  // open that hung).
  bool Open();
  bool IsOpen();
  bool Audible();  // on a real output, not the standby
  uint32_t CountOutputs() { return Open() ? 1 : 0; }
  void Attach(PcmSource* source);
  // After Detach returns, the source is no longer called.
  void Detach(PcmSource* source);

  // SDL_mixer's own playback (the music stream) is used only through this: held, no change
  // of output can happen; `generation` counts the outputs opened, so a player knows when it
  // must start again on a new one. Empty while the output changes or cannot be had.
  struct Mixer {
    std::unique_lock<std::mutex> lock;
    uint64_t generation = 0;
    explicit operator bool() const { return lock.owns_lock(); }
  };
  Mixer TryMixer();

  // Marks a stop, and returns at once: stop what plays while the returned object lives.
  // The output holds back its last kFadeFrames, so what was about to be heard when the stop
  // came fades out over them, and nothing given to it meanwhile is heard.
  class Quiet {
   public:
    explicit Quiet(AudioOutput* output) : output_(output) {}
    Quiet(Quiet&& other) noexcept : output_(std::exchange(other.output_, nullptr)) {}
    ~Quiet();

   private:
    AudioOutput* output_;
  };
  Quiet FadeOut();

  // One look at the output: a lost one is replaced by the standby; the standby tries the
  // sound servers again every Timing::retryEvery; an idle one is closed. The watching
  // thread calls it.
  void Supervise();
  // Stops all sound and closes the output once the fade has had time to be heard.
  void Close();

  // The post-mix: the sources, then the fade, through the held-back frames. Public for the
  // tests' fake devices.
  void Mix(int16_t* stereo, size_t frames);

 private:
  enum class State { Closed, Audible, Standby, Switching, Hung, Unavailable };
  struct Attempt;

  std::vector<std::string> Candidates(bool retry);
  // Opens the first candidate that opens, else the standby, on a thread of its own; waits
  // until it answers or the deadline passes. Called without the state lock.
  struct Outcome {
    State state;
    std::string driver, why;
  };
  Outcome Reopen(const std::vector<std::string>& candidates);
  void Settle(const Outcome& outcome);  // with the state lock: adopts it, says what the user must know
  void Adopt(State state, const std::string& driver);  // with the state lock
  void CloseForSwitch();                               // with the state lock
  void CloseNow();                                     // with the state lock
  bool Playing() const { return state_ == State::Audible || state_ == State::Standby; }
  bool Stalled();
  bool Idle();  // with the state lock
  void StartWatching();

  AudioDevices& devices_;
  Timing timing_;
  Say say_;

  std::mutex stateMutex_;
  State state_ = State::Closed;
  std::string driver_, lostDriver_;
  std::chrono::steady_clock::time_point closedAt_, lastTry_;
  bool outageSaid_ = false;
  std::condition_variable switched_;
  // Held while SDL opens or closes an output; an open that hangs keeps it for ever.
  std::mutex mixerMutex_;
  uint64_t generation_ = 0;

  std::mutex sourcesMutex_;
  std::vector<PcmSource*> sources_;
  // Stops begun and ended; the audio thread only asks whether they are equal, so their
  // 32-bit wrap is harmless.
  std::atomic<uint32_t> stopsBegun_{0}, stopsEnded_{0};
  uint32_t stopsSeen_ = 0;            // audio thread only
  std::vector<int16_t> held_, line_;  // audio thread only: the frames held back, and scratch
  std::atomic<int64_t> lastMix_{0};   // steady clock, ns: when the output last asked for sound
  std::atomic<uint64_t> framesMixed_{0};
  std::chrono::steady_clock::time_point idleSince_;
  bool wasIdle_ = false;

  std::mutex watchMutex_;
  std::condition_variable watchWake_;
  bool stopWatching_ = false;
  std::thread watcher_;
};

}  // namespace lumen::platform::audio
