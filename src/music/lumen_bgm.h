// The background music player: the MP3, WAV and audio-CD engines, started, polled and
// stopped by the show through the MCI command strings and PlaySound.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/mci/multimedia.h"
#include "settings/lumen_b.h"

namespace lumen::music {

class Lumen_BGM {
 public:
  // Reads BgmRepeat and BgmFile from settings when it runs; both references must outlive it.
  Lumen_BGM(platform::Multimedia& multimedia, const settings::Settings& settings)
      : mm_(multimedia), settings_(settings) {}

  void OpenCd();
  // One CD supervision step (every 200 ms): starts the disc when it stopped, or sends it
  // back to BgmRepeat's track. Clears CdPollActive when the CD cannot be used.
  void PollCd();
  void StopCd();
  void StartMp3();
  // One MP3 supervision step (every second): restarts the file from 0 when it is not playing.
  void PollMp3();
  bool IsMp3Playing();
  void StopMp3();
  void StartWav();
  void StopWav();

  // One command; the answer or the error text goes to answer. Returns 0, the MCI error
  // code, or -1 for an empty command (which is not sent).
  int32_t SendMci(std::string_view command, std::string& answer);
  // The answer of one command, or "Error:" and the code.
  std::string QueryMci(std::string_view command);
  int32_t PlayMci(std::string_view device, std::string_view from, std::string_view to);

  bool CdPollActive = false;
  std::string MciAnswer;

 private:
  platform::Multimedia& mm_;
  const settings::Settings& settings_;
};

}  // namespace lumen::music
