#include "platform/audio/audio_output.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <thread>

#include "platform/debug_log.h"

namespace lumen::platform::audio {
namespace {

using Clock = std::chrono::steady_clock;

bool SameDriver(const std::string& a, const std::string& b) { return ::strcasecmp(a.c_str(), b.c_str()) == 0; }

// The drivers that talk to a sound server, tried first: PipeWire without its Pulse server
// is heard only through SDL's own PipeWire driver, which SDL tries after ALSA.
const char* const kServerDrivers[] = {"pulseaudio", "pipewire"};

}  // namespace

// One open, on a thread of its own: the caller waits for it until the deadline.
struct AudioOutput::Attempt {
  std::mutex mutex;
  std::condition_variable answered;
  bool done = false;
  bool late = false;  // the caller stopped waiting: the thread adopts the answer itself
  Outcome outcome{State::Unavailable, {}, {}};
};

AudioOutput::AudioOutput(AudioDevices& devices, Timing timing, Say say)
    : devices_(devices), timing_(timing), say_(std::move(say)) {}

AudioOutput::~AudioOutput() {
  {
    std::lock_guard lock(watchMutex_);
    stopWatching_ = true;
  }
  watchWake_.notify_all();
  if (watcher_.joinable()) watcher_.join();
}

AudioOutput& AudioOutput::Instance() {
  static SdlAudioDevices devices;
  static AudioOutput output(devices, Timing{}, [](const std::string& line) { DebugLog(line); });
  static const bool watching = (output.StartWatching(), true);
  (void)watching;
  return output;
}

void AudioOutput::StartWatching() {
  watcher_ = std::thread([this] {
    std::unique_lock lock(watchMutex_);
    while (!watchWake_.wait_for(lock, timing_.lookEvery, [this] { return stopWatching_; })) {
      lock.unlock();
      Supervise();
      lock.lock();
    }
  });
}

std::vector<std::string> AudioOutput::Candidates(bool retry) {
  const std::vector<std::string> built = devices_.Drivers();
  std::vector<std::string> order;
  auto add = [&](const std::string& name) {
    auto known = std::find_if(built.begin(), built.end(), [&](const std::string& d) { return SameDriver(d, name); });
    if (known != built.end() &&
        std::none_of(order.begin(), order.end(), [&](auto& d) { return SameDriver(d, name); })) {
      order.push_back(*known);
    }
  };
  // The user's choice (SDL's comma-separated list) is the only one tried.
  if (const std::string requested = devices_.Requested(); !requested.empty()) {
    size_t from = 0;
    while (from <= requested.size()) {
      const size_t comma = std::min(requested.find(',', from), requested.size());
      add(requested.substr(from, comma - from));
      from = comma + 1;
    }
    return order;
  }
  if (retry) {
    // Looking again: the servers that may be there, and the driver that was lost.
    for (const char* server : kServerDrivers) {
      if (devices_.MayAnswer(server)) add(server);
    }
    if (!lostDriver_.empty() && !SameDriver(lostDriver_, kStandbyDriver) && devices_.MayAnswer(lostDriver_)) {
      add(lostDriver_);
    }
    return order;
  }
  for (const char* server : kServerDrivers) add(server);
  // SDL itself never picks these two: one writes a file, the other plays nothing.
  for (const std::string& driver : built) {
    if (!SameDriver(driver, "disk") && !SameDriver(driver, kStandbyDriver)) add(driver);
  }
  return order;
}

AudioOutput::Outcome AudioOutput::Reopen(const std::vector<std::string>& candidates) {
  auto attempt = std::make_shared<Attempt>();
  MixCallback mix = [this](int16_t* stereo, size_t frames) { Mix(stereo, frames); };
  std::thread([this, attempt, candidates, mix] {
    // The candidates in order, then the standby when none of them answers.
    std::vector<std::string> tries = candidates;
    tries.push_back(kStandbyDriver);
    Outcome got{State::Unavailable, {}, {}};
    {
      std::lock_guard mixer(mixerMutex_);
      for (size_t i = 0; i < tries.size() && got.state == State::Unavailable; ++i) {
        if (auto opened = devices_.Open(tries[i], mix)) {
          got = {i + 1 < tries.size() ? State::Audible : State::Standby, tries[i], got.why};
        } else {
          got.why += (got.why.empty() ? "" : "; ") + opened.reason();
        }
      }
    }
    bool late;
    {
      std::lock_guard lock(attempt->mutex);
      attempt->done = true;
      attempt->outcome = got;
      late = attempt->late;
    }
    attempt->answered.notify_all();
    if (late && got.state != State::Unavailable) {
      std::lock_guard lock(stateMutex_);
      if (state_ == State::Hung) {
        say_("the sound output answered after all (" + got.driver + ")");
        Adopt(got.state, got.driver);
      }
    }
  }).detach();

  std::unique_lock lock(attempt->mutex);
  if (!attempt->answered.wait_for(lock, timing_.openDeadline, [&] { return attempt->done; })) {
    attempt->late = true;
    std::string tried;
    for (const std::string& c : candidates) tried += (tried.empty() ? "" : ", ") + c;
    return {State::Hung, {}, "opening it did not answer within " + std::to_string(timing_.openDeadline.count()) +
                                 " ms (SDL audio drivers tried: " + (tried.empty() ? kStandbyDriver : tried) + ")"};
  }
  return attempt->outcome;
}

void AudioOutput::Settle(const Outcome& outcome) {
  if (state_ != State::Switching) return;  // a late answer was adopted meanwhile
  const std::string why = outcome.why.empty() ? std::string("no sound server") : outcome.why;
  if (outcome.state == State::Hung || outcome.state == State::Unavailable) {
    say_("no audio output: " + why + "; the music stays silent");
    state_ = outcome.state;
    switched_.notify_all();
    return;
  }
  if (outcome.state == State::Standby && !outageSaid_) {
    say_("no audio output (" + why + "); the music goes on unheard until a sound server answers");
    outageSaid_ = true;
  }
  Adopt(outcome.state, outcome.driver);
}

void AudioOutput::Adopt(State state, const std::string& driver) {
  const bool carried = state_ == State::Switching || state_ == State::Hung;
  state_ = state;
  driver_ = driver;
  lastTry_ = Clock::now();
  if (Playing()) {
    ++generation_;
    if (carried) {
      // What plays went on while there was no output at all; it goes on from there.
      const double gap = std::chrono::duration<double>(Clock::now() - closedAt_).count();
      const auto frames = static_cast<size_t>(std::llround(gap * kSampleRate));
      std::lock_guard lock(sourcesMutex_);
      for (PcmSource* source : sources_) source->Skip(frames);
    }
    if (state == State::Audible && outageSaid_) {
      say_("sound output back (" + driver + ")");
      outageSaid_ = false;
    }
  }
  switched_.notify_all();
}

void AudioOutput::CloseForSwitch() {
  {
    std::lock_guard mixer(mixerMutex_);
    devices_.Close();
  }
  closedAt_ = Clock::now();
  state_ = State::Switching;
}

bool AudioOutput::Open() {
  std::unique_lock lock(stateMutex_);
  switched_.wait_for(lock, timing_.openDeadline * 2, [this] { return state_ != State::Switching; });
  if (state_ != State::Closed) return Playing();
  const std::vector<std::string> candidates = Candidates(false);
  if (candidates.empty()) {
    say_("no audio output: SDL has no audio driver '" + devices_.Requested() + "'; music stays silent");
    state_ = State::Unavailable;
    return false;
  }
  state_ = State::Switching;
  closedAt_ = Clock::now();
  lock.unlock();
  const Outcome outcome = Reopen(candidates);
  lock.lock();
  Settle(outcome);
  return Playing();
}

bool AudioOutput::IsOpen() {
  std::lock_guard lock(stateMutex_);
  return Playing();
}

bool AudioOutput::Audible() {
  std::lock_guard lock(stateMutex_);
  return state_ == State::Audible;
}

AudioOutput::Mixer AudioOutput::TryMixer() {
  Mixer mixer;
  {
    std::lock_guard lock(stateMutex_);
    if (!Playing()) return mixer;
    mixer.generation = generation_;
  }
  mixer.lock = std::unique_lock(mixerMutex_, std::try_to_lock);
  return mixer;
}

void AudioOutput::Supervise() {
  std::unique_lock lock(stateMutex_);
  std::vector<std::string> candidates;
  if (state_ == State::Audible && (devices_.Lost() || Stalled())) {
    lostDriver_ = driver_;
    say_("the sound output (" + driver_ + ") went away; the music goes on unheard until it is back");
    outageSaid_ = true;
    candidates = Candidates(true);
  } else if (Playing() && Idle()) {
    CloseNow();
    return;
  } else if (state_ == State::Standby && Clock::now() - lastTry_ >= timing_.retryEvery) {
    candidates = Candidates(true);
    lastTry_ = Clock::now();
    if (candidates.empty()) return;
  } else {
    return;
  }
  CloseForSwitch();
  lock.unlock();
  const Outcome outcome = Reopen(candidates);
  lock.lock();
  Settle(outcome);
}

bool AudioOutput::Stalled() {
  const Clock::time_point last{Clock::duration(lastMix_.load())};
  return Clock::now() - std::max(last, lastTry_) >= timing_.stallLimit;
}

bool AudioOutput::Idle() {
  bool quiet;
  {
    std::lock_guard sources(sourcesMutex_);
    quiet = sources_.empty() && stopsBegun_ == stopsEnded_;
  }
  if (quiet) {
    std::unique_lock mixer(mixerMutex_, std::try_to_lock);
    quiet = mixer.owns_lock() && !devices_.Sounding();
  }
  if (!quiet) {
    wasIdle_ = false;
    return false;
  }
  if (!wasIdle_) idleSince_ = Clock::now();
  wasIdle_ = true;
  return Clock::now() - idleSince_ >= timing_.idleClose;
}

void AudioOutput::CloseNow() {
  {
    std::lock_guard mixer(mixerMutex_);
    devices_.Close();
  }
  state_ = State::Closed;
  wasIdle_ = false;
}

void AudioOutput::Close() {
  std::unique_lock lock(stateMutex_);
  switched_.wait_for(lock, timing_.openDeadline * 2, [this] { return state_ != State::Switching; });
  // An open that hung still holds SDL: leave it alone.
  if (!Playing()) return;
  // What was held back fades out, and the output plays on (silence) until the fade has
  // passed through the device and the sound server, whose buffers together hold well
  // under 8,192 frames; a stalled output is not waited for.
  { Quiet stop = FadeOut(); }
  const uint64_t from = framesMixed_;
  for (int i = 0; i < 50 && !wasIdle_ && framesMixed_ - from < 4 * 2048 + kFadeFrames; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  CloseNow();
}

void AudioOutput::Attach(PcmSource* source) {
  std::lock_guard lock(sourcesMutex_);
  if (std::find(sources_.begin(), sources_.end(), source) == sources_.end()) sources_.push_back(source);
}

void AudioOutput::Detach(PcmSource* source) {
  std::lock_guard lock(sourcesMutex_);
  sources_.erase(std::remove(sources_.begin(), sources_.end(), source), sources_.end());
}

void AudioOutput::Mix(int16_t* stereo, size_t frames) {
  lastMix_ = Clock::now().time_since_epoch().count();
  {
    std::lock_guard lock(sourcesMutex_);
    for (PcmSource* source : sources_) source->MixInto(stereo, frames);
  }
  const size_t samples = 2 * frames, heldSamples = 2 * kFadeFrames;
  if (held_.size() != heldSamples) held_.assign(heldSamples, 0);
  // Ended before begun: a stop that begins in between counts as under way.
  const uint32_t ended = stopsEnded_, begun = stopsBegun_;
  if (begun != stopsSeen_) {
    // A straight line from full to nothing over the frames held back when the stop came.
    for (size_t k = 0; k < kFadeFrames; ++k) {
      const double gain = 1.0 - static_cast<double>(k) / kFadeFrames;
      for (int c = 0; c < 2; ++c) held_[2 * k + c] = static_cast<int16_t>(std::lround(held_[2 * k + c] * gain));
    }
    stopsSeen_ = begun;
  }
  // A stop under way may cut what this block holds at any sample: none of it is heard.
  if (begun != ended) std::fill(stereo, stereo + samples, int16_t{0});
  line_.resize(heldSamples + samples);
  std::copy(held_.begin(), held_.end(), line_.begin());
  std::copy(stereo, stereo + samples, line_.begin() + static_cast<std::ptrdiff_t>(heldSamples));
  std::copy(line_.begin(), line_.begin() + static_cast<std::ptrdiff_t>(samples), stereo);
  std::copy(line_.end() - static_cast<std::ptrdiff_t>(heldSamples), line_.end(), held_.begin());
  framesMixed_ += frames;
}

AudioOutput::Quiet AudioOutput::FadeOut() {
  ++stopsBegun_;
  return Quiet(this);
}

AudioOutput::Quiet::~Quiet() {
  if (output_ != nullptr) ++output_->stopsEnded_;
}

}  // namespace lumen::platform::audio
