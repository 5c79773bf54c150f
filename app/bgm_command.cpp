// lumenshow bgm: the saved music, started, polled and stopped exactly as a show does,
// with every command printed.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <iostream>
#include <thread>

#include "app/subcommands.h"
#include "music/lumen_bgm.h"
#include "music/show_music.h"
#include "platform/audio/system_multimedia.h"

namespace lumen::app {
namespace {

std::atomic<bool> interrupted{false};

void OnInterrupt(int) { interrupted = true; }

// Passes every call on and prints it: "> command", then "< code answer" (the error text
// in place of the answer when the code is not 0).
class PrintingMultimedia : public platform::Multimedia {
 public:
  PrintingMultimedia(platform::Multimedia& inner, std::ostream& out) : inner_(inner), out_(out) {}

  uint32_t mciSendString(std::string_view command, std::string* answer, uint32_t answerLength,
                         uintptr_t callbackWindow) override {
    out_ << "> " << command << std::endl;
    uint32_t code = inner_.mciSendString(command, answer, answerLength, callbackWindow);
    std::string text = answer != nullptr ? *answer : "";
    if (code != 0) inner_.mciGetErrorString(code, &text, 256);
    out_ << "< " << code << (text.empty() ? "" : " ") << text << std::endl;
    return code;
  }
  bool mciGetErrorString(uint32_t code, std::string* text, uint32_t length) override {
    return inner_.mciGetErrorString(code, text, length);
  }
  bool PlaySound(const char* soundName, uintptr_t module, uint32_t flags) override {
    out_ << "> PlaySound " << (soundName ? "\"" + std::string(soundName) + "\"" : "NULL") << " " << flags
         << std::endl;
    bool played = inner_.PlaySound(soundName, module, flags);
    out_ << "< " << (played ? 1 : 0) << std::endl;
    return played;
  }
  uint32_t waveOutGetNumDevs() override {
    out_ << "> waveOutGetNumDevs" << std::endl;
    uint32_t count = inner_.waveOutGetNumDevs();
    out_ << "< " << count << std::endl;
    return count;
  }

 private:
  platform::Multimedia& inner_;
  std::ostream& out_;
};

using Clock = std::chrono::steady_clock;

// Runs the show's two poll timers until `end`, or until Ctrl+C. Like window timers, a
// timer that fell behind ticks once, not once for every period it missed.
void RunTimers(music::ShowMusic& show, Clock::time_point end) {
  const auto start = Clock::now();
  auto nextCd = start + std::chrono::milliseconds(music::ShowMusic::kCdPollMilliseconds);
  auto nextMp3 = start + std::chrono::milliseconds(music::ShowMusic::kMp3PollMilliseconds);
  auto tick = [](Clock::time_point& next, int periodMs, auto&& action) {
    if (Clock::now() < next) return;
    action();
    next += std::chrono::milliseconds(periodMs);
    if (next <= Clock::now()) next = Clock::now() + std::chrono::milliseconds(periodMs);
  };
  while (!interrupted && Clock::now() < end) {
    Clock::time_point soon = Clock::now() + std::chrono::milliseconds(50);
    Clock::time_point wake = std::min<Clock::time_point>({nextCd, nextMp3, end, soon});
    std::this_thread::sleep_until(wake);
    if (interrupted) break;
    tick(nextCd, music::ShowMusic::kCdPollMilliseconds, [&] { show.CdTimerTick(); });
    tick(nextMp3, music::ShowMusic::kMp3PollMilliseconds, [&] { show.Mp3TimerTick(); });
  }
}

}  // namespace

int RunBgm(const std::vector<std::string>& args) {
  auto options = ParseCommandOptions(args, "bgm");
  if (!options) return BadArguments("bgm", options.reason());
  if (!options->positional.empty()) {
    return BadArguments("bgm", "unexpected argument '" + options->positional.front() + "'");
  }
  double seconds = 10;
  if (!ReadNumberOption(*options, "bgm", "--seconds", 0, 86400, "from 0 to 86400", seconds)) return kBadArguments;

  const settings::Settings saved = LoadSettingsFor(*options);
  std::cout << "BgmKind=" << static_cast<int>(saved.BgmKind) << " BgmRepeat=" << saved.BgmRepeat
            << " BgmFile=" << saved.BgmFile << std::endl;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  PrintingMultimedia multimedia(platform::SystemMultimedia(), std::cout);
  music::Lumen_BGM bgm(multimedia, saved);
  music::ShowMusic show(bgm, saved);
  // The time counts from here: an output that is slow to open takes from it.
  const auto end = Clock::now() + std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000));
  show.Start();
  RunTimers(show, end);
  show.Exit();
  platform::ShutdownSystemMultimedia();
  return 0;
}

}  // namespace lumen::app
