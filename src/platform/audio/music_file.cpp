#include "platform/audio/music_file.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <sys/stat.h>

#include "platform/audio/audio_output.h"
#include "platform/debug_log.h"
#include "platform/mci/mci_errors.h"

namespace lumen::platform::audio {
namespace {

constexpr int kSoundChannel = 0;

class SdlMusicTrack : public mci::MusicTrack {
 public:
  explicit SdlMusicTrack(Mix_Music* music) : music_(music) {}
  ~SdlMusicTrack() override {
    Halt();
    Mix_FreeMusic(music_);
  }

  bool Play(double fromSeconds) override {
    if (Mix_PlayMusic(music_, 0) != 0) return false;
    if (fromSeconds > 0) Mix_SetMusicPosition(fromSeconds);
    current_ = this;
    return true;
  }
  void Halt() override {
    if (current_ != this) return;
    Mix_HaltMusic();
    current_ = nullptr;
  }
  void Pause() override {
    if (current_ == this) Mix_PauseMusic();
  }
  void Resume() override {
    if (current_ == this) Mix_ResumeMusic();
  }
  bool IsSounding() override { return current_ == this && Mix_PlayingMusic() != 0; }
  double PositionSeconds() override {
    double position = Mix_GetMusicPosition(music_);
    return position < 0 ? 0 : position;
  }
  double LengthSeconds() override {
    double length = Mix_MusicDuration(music_);
    return length < 0 ? 0 : length;
  }

 private:
  static inline SdlMusicTrack* current_ = nullptr;  // the track SDL_mixer's stream belongs to
  Mix_Music* music_;
};

bool IsReadableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

Mix_Chunk* soundChunk = nullptr;  // the sound on kSoundChannel, freed once halted

}  // namespace

std::unique_ptr<mci::MusicTrack> OpenMusicFile(const std::string& path, uint32_t& error) {
  if (!IsReadableFile(path)) {
    error = mci::MCIERR_FILE_NOT_FOUND;
    return nullptr;
  }
  if (!AudioOutput::Instance().Open()) {
    error = mci::MCIERR_HARDWARE;
    return nullptr;
  }
  Mix_Music* music = Mix_LoadMUS(path.c_str());
  if (music == nullptr) {
    DebugLog("cannot decode '" + path + "': " + Mix_GetError());
    error = mci::MCIERR_INVALID_FILE;
    return nullptr;
  }
  return std::make_unique<SdlMusicTrack>(music);
}

bool PlaySoundFile(const std::string& path, bool loop, bool async) {
  StopSoundFile();
  if (!IsReadableFile(path)) {
    DebugLog("sound file '" + path + "' not found: nothing plays");
    return false;
  }
  if (!AudioOutput::Instance().Open()) return false;
  soundChunk = Mix_LoadWAV(path.c_str());
  if (soundChunk == nullptr) {
    DebugLog("cannot decode sound file '" + path + "': " + Mix_GetError());
    return false;
  }
  if (Mix_PlayChannel(kSoundChannel, soundChunk, loop ? -1 : 0) < 0) {
    StopSoundFile();
    return false;
  }
  if (!async && !loop) {
    while (Mix_Playing(kSoundChannel) != 0) SDL_Delay(10);
  }
  return true;
}

void StopSoundFile() {
  if (soundChunk == nullptr) return;
  Mix_HaltChannel(kSoundChannel);
  Mix_FreeChunk(soundChunk);
  soundChunk = nullptr;
}

}  // namespace lumen::platform::audio
