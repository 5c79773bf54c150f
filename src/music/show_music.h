// The music side of a show: what the show window does with Lumen_BGM when it opens, on
// each tick of its two poll timers, and when it closes. The timers themselves belong to
// whoever drives this (the show window, or the bgm subcommand); this class says when
// each of them is enabled.
#pragma once

#include "music/lumen_bgm.h"

namespace lumen::music {

class ShowMusic {
 public:
  static constexpr int kCdPollMilliseconds = 200;   // Timer2
  static constexpr int kMp3PollMilliseconds = 1000;  // Timer1

  ShowMusic(Lumen_BGM& bgm, const settings::Settings& settings) : bgm_(bgm), settings_(settings) {}

  // BgmKind 1: opens the CD and enables the CD poll. BgmKind 2: a name ending in WAV
  // (any case) loops the file; in MP3 starts it and enables the MP3 poll; else nothing.
  void Start();
  // The CD timer's tick: a poll, after which the timer is enabled as CdPollActive says.
  void CdTimerTick();
  void Mp3TimerTick();
  // Stops the CD when its poll still runs, then the file's engine.
  void Exit();

  bool CdTimerEnabled() const { return cdTimerEnabled_; }
  bool Mp3TimerEnabled() const { return mp3TimerEnabled_; }

 private:
  enum class FileKind { None, Wav, Mp3 };
  FileKind MusicFileKind() const;

  Lumen_BGM& bgm_;
  const settings::Settings& settings_;
  bool cdTimerEnabled_ = false;
  bool mp3TimerEnabled_ = false;
};

}  // namespace lumen::music
