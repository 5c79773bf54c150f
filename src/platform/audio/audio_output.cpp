#include "platform/audio/audio_output.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <string>

#include "platform/debug_log.h"

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

}  // namespace

AudioOutput& AudioOutput::Instance() {
  static AudioOutput output;
  return output;
}

bool AudioOutput::StartSdlAudio() {
  if (!sdlStarted_) sdlStarted_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  return sdlStarted_;
}

uint32_t AudioOutput::CountOutputs() {
  int count = StartSdlAudio() ? SDL_GetNumAudioDevices(0) : 0;
  // -1: the driver cannot list its devices (it may still have one); try to open it.
  if (count < 0) return Open() ? 1 : 0;
  if (count == 0) LogNoOutput();
  return static_cast<uint32_t>(count);
}

void AudioOutput::LogNoOutput() {
  if (failureLogged_) return;
  const char* driver = SDL_GetCurrentAudioDriver();
  DebugLog("no audio output: SDL audio driver '" + std::string(driver ? driver : "none") +
           "' found no usable device (" + SdlError() + "); music stays silent");
  failureLogged_ = true;
}

bool AudioOutput::Open() {
  if (open_) return true;
  bool ok = StartSdlAudio();
  if (ok) {
    Mix_Init(MIX_INIT_MP3);
    // allowed_changes 0: SDL converts to the device's own format, so every buffer we see
    // is CD format whatever the hardware takes.
    ok = Mix_OpenAudioDevice(kSampleRate, AUDIO_S16LSB, 2, 2048, nullptr, 0) == 0;
  }
  if (!ok) {
    LogNoOutput();
    return false;
  }
  Mix_SetPostMix(&AudioOutput::PostMix, this);
  open_ = true;
  return true;
}

void AudioOutput::PostMix(void* self, uint8_t* stream, int length) {
  auto* output = static_cast<AudioOutput*>(self);
  std::lock_guard lock(output->sourcesMutex_);
  auto* samples = reinterpret_cast<int16_t*>(stream);
  size_t frames = static_cast<size_t>(length) / (2 * sizeof(int16_t));
  for (PcmSource* source : output->sources_) source->MixInto(samples, frames);
}

void AudioOutput::Attach(PcmSource* source) {
  std::lock_guard lock(sourcesMutex_);
  if (std::find(sources_.begin(), sources_.end(), source) == sources_.end()) sources_.push_back(source);
}

void AudioOutput::Detach(PcmSource* source) {
  std::lock_guard lock(sourcesMutex_);
  sources_.erase(std::remove(sources_.begin(), sources_.end(), source), sources_.end());
}

void AudioOutput::Close() {
  if (open_) {
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    Mix_SetPostMix(nullptr, nullptr);
    Mix_CloseAudio();
    Mix_Quit();
    open_ = false;
  }
  if (sdlStarted_) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    sdlStarted_ = false;
  }
}

}  // namespace lumen::platform::audio
