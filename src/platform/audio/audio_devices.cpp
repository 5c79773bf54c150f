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

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// Where `driver`'s server listens, or empty when it is not a local socket we can know.
std::string ServerSocket(const std::string& driver) {
  if (driver == "pulseaudio") {
    if (!Environment("PULSE_SERVER").empty() || Environment("XDG_RUNTIME_DIR").empty()) return "";
    return Environment("XDG_RUNTIME_DIR") + "/pulse/native";
  }
  if (driver == "pipewire") {
    std::string name = Environment("PIPEWIRE_REMOTE");
    if (name.empty()) name = "pipewire-0";
    if (name.front() == '/') return name;
    std::string folder = Environment("PIPEWIRE_RUNTIME_DIR");
    if (folder.empty()) folder = Environment("XDG_RUNTIME_DIR");
    return folder.empty() ? "" : folder + "/" + name;
  }
  return "";
}

bool StatSocket(const std::string& path, struct stat& st) {
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

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
  // SDL's own PipeWire driver names no icon; PipeWire adds these to every stream.
  SetUnlessSet("PIPEWIRE_PROPS", "{ application.icon-name = lumenshow }");
}

std::vector<std::string> SdlAudioDevices::Drivers() {
  std::vector<std::string> drivers;
  for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i) drivers.emplace_back(SDL_GetAudioDriver(i));
  return drivers;
}

Result<void> SdlAudioDevices::Open(const std::string& driver, const MixCallback& mix) {
  Close();
  // Opens run on threads SDL did not make: what SDL keeps per thread (its error text) is
  // freed before the thread ends.
  struct ThreadData {
    ~ThreadData() { SDL_TLSCleanup(); }
  } threadData;
  // SDL_mixer starts SDL's audio itself when it is not started; started here, it keeps the
  // driver named by the hint, which overrides SDL_AUDIODRIVER.
  SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver.c_str(), SDL_HINT_OVERRIDE);
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return Fail(driver + ": " + SdlError());
  Mix_Init(MIX_INIT_MP3);
  // allowed_changes 0: SDL converts to the device's own format, so every buffer we see is
  // CD format whatever the hardware takes.
  if (Mix_OpenAudioDevice(44100, AUDIO_S16LSB, 2, 2048, nullptr, 0) != 0) {
    Failure failed{driver + ": " + SdlError()};
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return failed;
  }
  mixerOpen_ = true;
  mix_ = mix;
  Mix_SetPostMix(&SdlAudioDevices::PostMix, this);
  // SDL_mixer's device is the one playing now; SDL stops it when its server goes away.
  deviceId_ = 0;
  for (uint32_t id = 1; id < 32 && deviceId_ == 0; ++id) {
    if (SDL_GetAudioDeviceStatus(id) == SDL_AUDIO_PLAYING) deviceId_ = id;
  }
  socket_ = ServerSocket(driver);
  struct stat st {};
  if (!StatSocket(socket_, st)) socket_.clear();
  socketDevice_ = st.st_dev;
  socketInode_ = st.st_ino;
  return {};
}

bool SdlAudioDevices::MayAnswer(const std::string& driver) {
  const std::string socket = ServerSocket(driver);
  struct stat st {};
  // A server named in the environment may be anywhere: it is worth a try.
  return socket.empty() || StatSocket(socket, st);
}

bool SdlAudioDevices::Lost() {
  if (deviceId_ != 0 && SDL_GetAudioDeviceStatus(deviceId_) == SDL_AUDIO_STOPPED) return true;
  struct stat st {};
  return !socket_.empty() && (!StatSocket(socket_, st) || st.st_dev != socketDevice_ || st.st_ino != socketInode_);
}

bool SdlAudioDevices::Sounding() { return mixerOpen_ && Mix_PlayingMusic() != 0; }

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
  socket_.clear();
}

void SdlAudioDevices::PostMix(void* self, uint8_t* stream, int length) {
  auto* devices = static_cast<SdlAudioDevices*>(self);
  devices->mix_(reinterpret_cast<int16_t*>(stream), static_cast<size_t>(length) / (2 * sizeof(int16_t)));
}

}  // namespace lumen::platform::audio
