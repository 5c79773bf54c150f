#include "platform/audio/music_file.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio/audio_output.h"
#include "platform/audio/file_sound.h"
#include "platform/debug_log.h"
#include "platform/mci/mci_errors.h"
#include "platform/whole_file.h"

namespace lumen::platform::audio {
namespace {

using Clock = std::chrono::steady_clock;

AudioOutput& Output() { return AudioOutput::Instance(); }

// A track keeps its own time: where it is follows the clock from where it was started, so
// it goes on through a change of output (a sound server restarting) and its answers stay
// those of a track that plays by itself. SDL_mixer's one music stream is only what is
// heard; it is started again at the clock's position on each new output.
class SdlMusicTrack : public mci::MusicTrack {
 public:
  SdlMusicTrack(Mix_Music* music, double length) : music_(music), length_(length) {}
  ~SdlMusicTrack() override {
    Halt();
    // With an open that hung, SDL_mixer is not to be touched again: the music stays.
    if (auto mixer = Output().TryMixer()) Mix_FreeMusic(music_);
  }

  bool Play(double fromSeconds) override {
    if (!Output().Open()) return false;
    Halt();
    from_ = fromSeconds;
    since_ = Clock::now();
    playing_ = true;
    paused_ = false;
    Render();
    return true;
  }
  void Halt() override {
    if (!playing_) return;
    playing_ = paused_ = false;
    if (current_ != this) return;
    current_ = nullptr;
    auto quiet = Output().FadeOut();
    if (auto mixer = Output().TryMixer()) Mix_HaltMusic();
  }
  void Pause() override {
    if (!playing_ || paused_) return;
    from_ = PositionSeconds();
    paused_ = true;
    if (auto mixer = Output().TryMixer(); mixer && Heard(mixer)) Mix_PauseMusic();
  }
  void Resume() override {
    if (!paused_) return;
    since_ = Clock::now();
    paused_ = false;
    if (auto mixer = Output().TryMixer(); mixer && Heard(mixer)) {
      Mix_ResumeMusic();
    } else {
      Render();
    }
  }
  bool IsSounding() override {
    Render();
    return playing_ && PositionSeconds() < length_;
  }
  double PositionSeconds() override {
    if (!playing_) return 0;
    if (paused_) return from_;
    return from_ + std::chrono::duration<double>(Clock::now() - since_).count();
  }
  double LengthSeconds() override { return length_; }

 private:
  bool Heard(const AudioOutput::Mixer& mixer) const { return current_ == this && generation_ == mixer.generation; }
  // Starts the stream at the clock's position when this output has not been given it yet.
  void Render() {
    if (!playing_ || paused_) return;
    const double at = PositionSeconds();
    if (at >= length_ || !Output().Open()) return;  // an output closed while idle opens again
    auto mixer = Output().TryMixer();
    if (!mixer || Heard(mixer)) return;
    if (Mix_PlayMusic(music_, 0) != 0) return;
    if (at > 0) Mix_SetMusicPosition(at);
    current_ = this;
    generation_ = mixer.generation;
  }

  static inline SdlMusicTrack* current_ = nullptr;  // the track SDL_mixer's stream belongs to
  Mix_Music* music_;
  double length_;
  bool playing_ = false, paused_ = false;
  double from_ = 0;           // seconds into the track at since_ (while paused: where it stopped)
  Clock::time_point since_;
  uint64_t generation_ = 0;   // the output the stream was started on
};

// A sound file mixed by the program, once or round and round, decoded a little ahead by a
// thread of its own: at most two seconds are held, whatever the file's length. Where it is
// carries over a change of output.
class SoundLoop : public PcmSource {
 public:
  SoundLoop(std::unique_ptr<FileSound> sound, bool loop) : sound_(std::move(sound)), loop_(loop) {
    reader_ = std::thread(&SoundLoop::ReadAhead, this);
  }
  ~SoundLoop() override {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    changed_.notify_all();
    reader_.join();
  }
  bool Done() const { return done_; }

  void MixInto(int16_t* stereo, size_t frames) override {
    {
      std::lock_guard lock(mutex_);
      // Short of decoded sound (a slow disk), the rest of the block is silence.
      const size_t samples = std::min(2 * frames, buffer_.size());
      for (size_t i = 0; i < samples; ++i) AddSaturated(stereo[i], buffer_[i]);
      buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(samples));
      done_ = ended_ && buffer_.empty();
    }
    changed_.notify_one();
  }
  void Skip(size_t frames) override {
    {
      std::lock_guard lock(mutex_);
      const size_t dropped = std::min(2 * frames, buffer_.size());
      buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(dropped));
      skip_ += frames - dropped / 2;  // what was not decoded yet is dropped as it comes
      done_ = ended_ && buffer_.empty();
    }
    changed_.notify_one();
  }

 private:
  static constexpr size_t kAheadSamples = 2 * 2 * AudioOutput::kSampleRate;  // two seconds
  static constexpr size_t kBlockFrames = 4096;

  void ReadAhead() {
    std::vector<int16_t> block(2 * kBlockFrames);
    std::unique_lock lock(mutex_);
    while (true) {
      changed_.wait(lock, [&] { return stop_ || buffer_.size() < kAheadSamples; });
      if (stop_) return;
      lock.unlock();
      size_t got = sound_->Read(block.data(), kBlockFrames);
      if (got == 0 && loop_) {
        sound_->Seek(0);  // a looped sound starts again at once
        got = sound_->Read(block.data(), kBlockFrames);
      }
      lock.lock();
      if (got == 0) {  // the end (or an empty file, which loops to nothing)
        ended_ = true;
        done_ = buffer_.empty();
        return;
      }
      const size_t dropped = std::min(got, skip_);
      skip_ -= dropped;
      buffer_.insert(buffer_.end(), block.begin() + static_cast<std::ptrdiff_t>(2 * dropped),
                     block.begin() + static_cast<std::ptrdiff_t>(2 * got));
    }
  }

  std::unique_ptr<FileSound> sound_;  // the reader thread's alone
  const bool loop_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<int16_t> buffer_;  // decoded and not mixed yet, interleaved stereo
  size_t skip_ = 0;             // frames to drop before any more are held
  bool ended_ = false, stop_ = false;
  std::atomic<bool> done_{false};
  std::thread reader_;
};

// SDL_mixer reads the file the program opened, never by its name: a FIFO or a device in
// a music file's place is refused before SDL sees it. Null when it is no readable file.
SDL_RWops* OpenForMixer(const std::string& path) {
  OpenedFile file(path, UINT64_MAX);
  if (file.Status() != FileContents::Status::Read) return nullptr;
  SDL_RWops* rw = SDL_AllocRW();
  if (rw == nullptr) return nullptr;
  rw->type = SDL_RWOPS_UNKNOWN;
  rw->hidden.unknown.data1 = new FileCursor(std::move(file));
  rw->size = [](SDL_RWops* ops) -> Sint64 {
    return static_cast<Sint64>(static_cast<FileCursor*>(ops->hidden.unknown.data1)->File().Size());
  };
  rw->seek = [](SDL_RWops* ops, Sint64 offset, int whence) -> Sint64 {  // RW_SEEK_* are SEEK_*
    const int64_t at = static_cast<FileCursor*>(ops->hidden.unknown.data1)->Seek(offset, whence);
    return at < 0 ? SDL_SetError("seek before the start") : at;
  };
  rw->read = [](SDL_RWops* ops, void* into, size_t size, size_t count) -> size_t {
    if (size == 0) return 0;
    const int64_t n = static_cast<FileCursor*>(ops->hidden.unknown.data1)->Read(into, size * count);
    return n > 0 ? static_cast<size_t>(n) / size : 0;
  };
  rw->write = [](SDL_RWops*, const void*, size_t, size_t) -> size_t { return 0; };
  rw->close = [](SDL_RWops* ops) -> int {
    delete static_cast<FileCursor*>(ops->hidden.unknown.data1);
    SDL_FreeRW(ops);
    return 0;
  };
  return rw;
}

bool IsReadableFile(const std::string& path) {
  return OpenedFile(path, UINT64_MAX).Status() == FileContents::Status::Read;
}

std::unique_ptr<SoundLoop> sound;  // the one PlaySound sound

}  // namespace

std::unique_ptr<mci::MusicTrack> OpenMusicFile(const std::string& path, uint32_t& error) {
  if (!IsReadableFile(path)) {
    error = mci::MCIERR_FILE_NOT_FOUND;
    return nullptr;
  }
  if (!Output().Open()) {
    error = mci::MCIERR_HARDWARE;
    return nullptr;
  }
  Mix_Music* music = nullptr;
  double length = 0;
  if (auto mixer = Output().TryMixer()) {
    SDL_RWops* source = OpenForMixer(path);
    music = source != nullptr ? Mix_LoadMUS_RW(source, 1) : nullptr;
    if (music == nullptr) DebugLog("cannot decode '" + path + "': " + Mix_GetError());
    length = music != nullptr ? std::max(0.0, Mix_MusicDuration(music)) : 0;
  }
  if (music == nullptr) {
    error = mci::MCIERR_INVALID_FILE;
    return nullptr;
  }
  return std::make_unique<SdlMusicTrack>(music, length);
}

bool PlaySoundFile(const std::string& path, bool loop, bool async) {
  StopSoundFile();
  if (!IsReadableFile(path)) {
    DebugLog("sound file '" + path + "' not found: nothing plays");
    return false;
  }
  if (!Output().Open()) return false;
  auto decoded = FileSound::Open(path);
  if (!decoded) {
    DebugLog("cannot decode sound file '" + path + "'");
    return false;
  }
  sound = std::make_unique<SoundLoop>(std::move(decoded), loop);
  Output().Attach(sound.get());
  if (!async && !loop) {
    while (!sound->Done()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

void StopSoundFile() {
  if (!sound) return;
  {
    auto quiet = Output().FadeOut();
    Output().Detach(sound.get());
  }
  sound.reset();
}

}  // namespace lumen::platform::audio
