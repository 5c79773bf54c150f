#include "music/show_music.h"

#include "platform/ascii_text.h"
#include "platform/debug_log.h"

namespace lumen::music {

ShowMusic::FileKind ShowMusic::MusicFileKind() const {
  const std::string& file = settings_.BgmFile;
  if (file.size() < 3) return FileKind::None;
  std::string ending = platform::AsciiUppered(file.substr(file.size() - 3));
  return ending == "WAV" ? FileKind::Wav : ending == "MP3" ? FileKind::Mp3 : FileKind::None;
}

void ShowMusic::Start() {
  if (settings_.BgmKind == settings::Music::AudioCd) {
    bgm_.OpenCd();
    cdTimerEnabled_ = true;
  } else if (settings_.BgmKind == settings::Music::File) {
    switch (MusicFileKind()) {
      case FileKind::Wav: bgm_.StartWav(); break;
      case FileKind::Mp3:
        bgm_.StartMp3();
        mp3TimerEnabled_ = true;
        break;
      case FileKind::None:
        platform::DebugLog("the music file '" + settings_.BgmFile + "' is neither MP3 nor WAV: nothing plays");
        break;
    }
  }
}

void ShowMusic::CdTimerTick() {
  if (!cdTimerEnabled_) return;
  bgm_.PollCd();
  cdTimerEnabled_ = bgm_.CdPollActive;
}

void ShowMusic::Mp3TimerTick() {
  if (mp3TimerEnabled_) bgm_.PollMp3();
}

void ShowMusic::Exit() {
  if (cdTimerEnabled_) {
    cdTimerEnabled_ = false;
    bgm_.StopCd();
  }
  if (settings_.BgmKind == settings::Music::File) {
    FileKind kind = MusicFileKind();
    if (kind == FileKind::Wav) {
      bgm_.StopWav();
    } else if (kind == FileKind::Mp3) {
      mp3TimerEnabled_ = false;
      bgm_.StopMp3();
    }
  }
}

}  // namespace lumen::music
