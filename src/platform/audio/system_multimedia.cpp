#include "platform/audio/system_multimedia.h"

#include "platform/audio/audio_output.h"
#include "platform/audio/cd_player.h"
#include "platform/audio/music_file.h"
#include "platform/mci/mci_errors.h"
#include "platform/mci/mci_interpreter.h"
#include "platform/mci/multimedia.h"

namespace lumen::platform {
namespace {

class SystemDrivers : public mci::MciDrivers {
 public:
  std::unique_ptr<mci::MusicTrack> OpenMusic(const std::string& path, uint32_t& error) override {
    return audio::OpenMusicFile(path, error);
  }
  std::unique_ptr<mci::CdDrive> OpenCdDrive(uint32_t& error) override {
    auto disc = audio::CdDisc::OpenDefault();
    if (!disc) {
      error = mci::MCIERR_DEVICE_NOT_INSTALLED;
      return nullptr;
    }
    return std::make_unique<audio::CdPlayer>(std::move(disc));
  }
};

class RealMultimedia : public Multimedia {
 public:
  uint32_t mciSendString(std::string_view command, std::string* answer, uint32_t answerLength,
                         uintptr_t /*callbackWindow: no notifications are sent*/) override {
    std::string full;
    uint32_t code = interpreter_.Send(command, full);
    if (answer != nullptr) *answer = CutToBuffer(full, answerLength);
    return code;
  }

  bool mciGetErrorString(uint32_t code, std::string* text, uint32_t length) override {
    std::string_view message = mci::ErrorText(code);
    if (message.empty() || text == nullptr) return false;
    *text = CutToBuffer(message, length);
    return true;
  }

  bool PlaySound(const char* soundName, uintptr_t /*module*/, uint32_t flags) override {
    if (soundName == nullptr) {
      audio::StopSoundFile();
      return true;
    }
    return audio::PlaySoundFile(soundName, (flags & SND_LOOP) != 0, (flags & SND_ASYNC) != 0);
  }

  uint32_t waveOutGetNumDevs() override { return audio::AudioOutput::Instance().CountOutputs(); }

  void Shutdown() {
    std::string ignored;
    interpreter_.Send("close all", ignored);
    audio::StopSoundFile();
    audio::AudioOutput::Instance().Close();
  }

 private:
  SystemDrivers drivers_;
  mci::MciInterpreter interpreter_{drivers_};
};

RealMultimedia& Instance() {
  static RealMultimedia multimedia;
  return multimedia;
}

}  // namespace

Multimedia& SystemMultimedia() { return Instance(); }

void ShutdownSystemMultimedia() { Instance().Shutdown(); }

}  // namespace lumen::platform
