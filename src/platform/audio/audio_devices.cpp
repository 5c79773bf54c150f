#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <cstdlib>
#include <sys/stat.h>

#include "platform/audio/audio_devices.h"

namespace lumen::platform::audio {
namespace {

// SDL's error text, without the odd bytes some drivers leave in it.
std::string SdlError() {
  std::string text = SDL_GetError();
  text.erase(std::remove_if(text.begin(), text.end(),
                            [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }),
             text.end());
  return text.empty() ? "no reason given" : text;
}

void SetUnlessSet(const char* variable, const char* value) { ::setenv(variable, value, 0); }

}  // namespace

SdlAudioDevices::SdlAudioDevices() {
  if (const char* asked = std::getenv("SDL_AUDIODRIVER")) requested_ = asked;
  // SDL would turn SIGINT and SIGTERM into quit events nobody reads: the program could then
  // not be ended by them while music plays.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // How volume mixers list the program and its stream: "LumenShow", "BGM", music, with
  // the desktop entry's icon (PulseAudio and PipeWire's Pulse server read the property).
  SetUnlessSet("SDL_APP_NAME", "LumenShow");
  SetUnlessSet("SDL_AUDIO_DEVICE_APP_NAME", "LumenShow");
  SetUnlessSet("SDL_AUDIO_DEVICE_STREAM_NAME", "BGM");
  SetUnlessSet("SDL_AUDIO_DEVICE_STREAM_ROLE", "music");
  SetUnlessSet("PULSE_PROP_application.icon_name", "lumenshow");
  SetUnlessSet("PULSE_PROP_media.role", "music");
}

std::vector<std::string> SdlAudioDevices::Drivers() {
  std::vector<std::string> drivers;
  for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i) drivers.emplace_back(SDL_GetAudioDriver(i));
  return drivers;
}

bool SdlAudioDevices::Open(const std::string& driver, const MixCallback& mix, std::string& why) {
  Close();
  // Opens run on threads SDL did not make: what SDL keeps per thread (its error text) is
  // freed before the thread ends.
  struct ThreadData {
    ~ThreadData() { SDL_TLSCleanup(); }
  } threadData;
  // SDL_mixer starts SDL's audio itself when it is not started; started here, it keeps the
  // driver named by the hint, which overrides SDL_AUDIODRIVER.
  SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver.c_str(), SDL_HINT_OVERRIDE);
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    why = driver + ": " + SdlError();
    return false;
  }
  Mix_Init(MIX_INIT_MP3);
  // allowed_changes 0: SDL converts to the device's own format, so every buffer we see is
  // CD format whatever the hardware takes.
  if (Mix_OpenAudioDevice(44100, AUDIO_S16LSB, 2, 2048, nullptr, 0) != 0) {
    why = driver + ": " + SdlError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  mixerOpen_ = true;
  mix_ = mix;
  Mix_SetPostMix(&SdlAudioDevices::PostMix, this);
  // SDL_mixer's device is the one playing now; SDL stops it when its server goes away.
  deviceId_ = 0;
  for (uint32_t id = 1; id < 32 && deviceId_ == 0; ++id) {
    if (SDL_GetAudioDeviceStatus(id) == SDL_AUDIO_PLAYING) deviceId_ = id;
  }
  return true;
}

bool SdlAudioDevices::MayAnswer(const std::string& driver) {
  // Where the servers listen by default; a server named in the environment may be anywhere.
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  auto socket = [&](const char* path) {
    struct stat st {};
    return runtime != nullptr && ::stat((std::string(runtime) + path).c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
  };
  if (driver == "pulseaudio") return std::getenv("PULSE_SERVER") != nullptr || socket("/pulse/native");
  if (driver == "pipewire") return std::getenv("PIPEWIRE_REMOTE") != nullptr || socket("/pipewire-0");
  return true;
}

bool SdlAudioDevices::Lost() { return deviceId_ != 0 && SDL_GetAudioDeviceStatus(deviceId_) == SDL_AUDIO_STOPPED; }

void SdlAudioDevices::Close() {
  if (!mixerOpen_) return;
  struct ThreadData {
    ~ThreadData() { SDL_TLSCleanup(); }
  } threadData;
  Mix_HaltChannel(-1);
  Mix_HaltMusic();
  Mix_SetPostMix(nullptr, nullptr);
  Mix_CloseAudio();  // not Mix_Quit: music loaded now may play again on the next output
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  mixerOpen_ = false;
  deviceId_ = 0;
}

void SdlAudioDevices::PostMix(void* self, uint8_t* stream, int length) {
  auto* devices = static_cast<SdlAudioDevices*>(self);
  devices->mix_(reinterpret_cast<int16_t*>(stream), static_cast<size_t>(length) / (2 * sizeof(int16_t)));
}

}  // namespace lumen::platform::audio
