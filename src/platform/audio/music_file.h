// Music files through SDL2_mixer: the MPEGVideo device's tracks and the looping WAV sound.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/mci/mci_drivers.h"

namespace lumen::platform::audio {

// Opens a music file (MP3, WAV and the other formats SDL_mixer decodes). Null with
// MCIERR_FILE_NOT_FOUND, MCIERR_INVALID_FILE or MCIERR_HARDWARE (no audio output).
// SDL_mixer has one music stream: playing one track halts any other.
std::unique_ptr<mci::MusicTrack> OpenMusicFile(const std::string& path, uint32_t& error);

// Plays a sound file on its own channel, once or looping; without async, returns when
// it has finished. False (and a debug-log line) when it cannot be played: nothing plays
// then — there is no default sound to fall back on.
bool PlaySoundFile(const std::string& path, bool loop, bool async);
void StopSoundFile();

}  // namespace lumen::platform::audio
