#include "music/lumen_bgm.h"

#include <algorithm>

#include "platform/ascii_text.h"
#include "platform/debug_log.h"
#include "settings/numeric_text.h"

namespace lumen::music {
namespace {

constexpr uint32_t kAnswerLength = 512;
constexpr uint32_t kErrorTextLength = 256;
constexpr uint32_t kCdModeLength = 255;
constexpr uint32_t kMp3ModeLength = 30;
constexpr size_t kModeCompared = 7;

using platform::AsciiUppered;

}  // namespace

int32_t Lumen_BGM::SendMci(std::string_view command, std::string& answer) {
  if (command.empty()) {
    answer = "コマンド文字列が指定されていません";
    return -1;
  }
  std::string buffer;
  uint32_t code = mm_.mciSendString(command, &buffer, kAnswerLength, 0);
  if (code == 0) {
    answer = buffer;
    return 0;
  }
  std::string errorText;
  answer = mm_.mciGetErrorString(code, &errorText, kErrorTextLength) ? errorText
                                                                     : "Error (文字列が取れません)";
  return static_cast<int32_t>(code);
}

std::string Lumen_BGM::QueryMci(std::string_view command) {
  int32_t code = SendMci(command, MciAnswer);
  return code != 0 ? "Error:" + std::to_string(code) : MciAnswer;
}

int32_t Lumen_BGM::PlayMci(std::string_view device, std::string_view from, std::string_view to) {
  std::string command = "play " + std::string(device);
  if (!from.empty()) command += " from " + std::string(from);
  if (!to.empty()) command += " to " + std::string(to);
  return SendMci(command, MciAnswer);
}

void Lumen_BGM::OpenCd() {
  mm_.mciSendString("open cdaudio", nullptr, 0, 0);
  mm_.mciSendString("set cdaudio time format tmsf", nullptr, 0, 0);
}

void Lumen_BGM::PollCd() {
  CdPollActive = true;
  std::string track = AsciiUppered(QueryMci("status cdaudio current track"));
  if (track.find("ERR") != std::string::npos) {
    CdPollActive = false;
    return;
  }
  if (AsciiUppered(QueryMci("status cdaudio number of tracks")).find("ERR") != std::string::npos) {
    CdPollActive = false;
    return;
  }
  std::string mode;
  mm_.mciSendString("status cdaudio mode", &mode, kCdModeLength, 0);
  mode = mode.substr(0, kModeCompared);
  const int16_t repeat = settings_.BgmRepeat;
  if (repeat != 0) {
    // The track answer is read as a number even when the disc is stopped; one that is not
    // a number ends the polling.
    auto number = settings::ParseNumber(track);
    auto current = number ? settings::RoundToInt16(*number) : std::nullopt;
    if (!current) {
      CdPollActive = false;
      return;
    }
    if (mode == "stopped" || *current != repeat) {
      std::string position = QueryMci("status cdaudio position track " + std::to_string(repeat));
      PlayMci("cdaudio", position, "");
    }
  } else if (mode == "stopped") {
    PlayMci("cdaudio", "", "");
  }
}

void Lumen_BGM::StopCd() {
  mm_.mciSendString("stop cdaudio", nullptr, 0, 0);
  mm_.mciSendString("close cdaudio", nullptr, 0, 0);
}

void Lumen_BGM::StartMp3() {
  const std::string& file = settings_.BgmFile;
  // MCI has no way to quote a '"' inside a quoted name: the command would name another
  // file, or options of its own. Such a file is not opened at all.
  if (file.find('"') != std::string::npos) {
    platform::DebugLog("cannot play '" + file + "': a music file name may not contain '\"'");
    return;
  }
  if (mm_.mciSendString("open \"" + file + "\" type MPEGVideo Alias MP3Play", nullptr, 0, 0) == 0) {
    mm_.mciSendString("play MP3Play", nullptr, 0, 0);
  }
}

void Lumen_BGM::PollMp3() {
  if (IsMp3Playing()) return;
  mm_.mciSendString("stop MP3Play", nullptr, 0, 0);
  mm_.mciSendString("play MP3Play from 0", nullptr, 0, 0);
}

bool Lumen_BGM::IsMp3Playing() {
  std::string mode;
  mm_.mciSendString("status MP3Play mode", &mode, kMp3ModeLength, 0);
  return mode.substr(0, kModeCompared) == "playing";
}

void Lumen_BGM::StopMp3() {
  mm_.mciSendString("stop MP3Play", nullptr, 0, 0);
  mm_.mciSendString("close MP3Play", nullptr, 0, 0);
}

void Lumen_BGM::StartWav() {
  if (mm_.waveOutGetNumDevs() == 0) return;
  mm_.PlaySound(settings_.BgmFile.c_str(), 0, platform::SND_ASYNC | platform::SND_LOOP);
}

void Lumen_BGM::StopWav() { mm_.PlaySound(nullptr, 0, 0); }

}  // namespace lumen::music
