// The Windows multimedia calls the music module makes: MCI command strings, PlaySound
// and the wave output count. The real system sits behind this interface, and tests
// put a recording fake in its place.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumen::platform {

inline constexpr uint32_t SND_SYNC = 0x0000;
inline constexpr uint32_t SND_ASYNC = 0x0001;
inline constexpr uint32_t SND_NODEFAULT = 0x0002;
inline constexpr uint32_t SND_LOOP = 0x0008;
inline constexpr uint32_t SND_FILENAME = 0x00020000;

class Multimedia {
 public:
  virtual ~Multimedia() = default;

  // Runs one command string. The answer, when answer is not null, is cut as by a
  // buffer of answerLength bytes holding a NUL: at most answerLength - 1 bytes, never
  // half a UTF-8 character. Returns 0 or an MCI error code.
  virtual uint32_t mciSendString(std::string_view command, std::string* answer,
                                 uint32_t answerLength, uintptr_t callbackWindow) = 0;

  // The text of an MCI error code, cut like an answer; false for a code it does not know.
  virtual bool mciGetErrorString(uint32_t code, std::string* text, uint32_t length) = 0;

  // Plays a sound file (soundName null: stops the sound playing). SND_ASYNC returns at
  // once, SND_LOOP repeats until stopped. False when the sound cannot be played.
  virtual bool PlaySound(const char* soundName, uintptr_t module, uint32_t flags) = 0;

  // How many audio outputs the system reports (0 on a machine without one).
  virtual uint32_t waveOutGetNumDevs() = 0;
};

// The program's own: the MCI-style interpreter with its MPEG audio and CD devices,
// and the WAV player, all on the one audio output that opens when first needed.
Multimedia& SystemMultimedia();

// Cuts text as a Windows answer buffer of the given length would (see mciSendString).
std::string CutToBuffer(std::string_view text, uint32_t bufferLength);

}  // namespace lumen::platform
