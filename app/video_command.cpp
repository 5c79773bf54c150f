// lumenshow video: the show of a folder as a video file, rendered by the show itself on a
// virtual screen. Written under a temporary name and renamed at the end, so a stopped or
// failed export leaves nothing behind.
#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>

#include "app/show_data_for.h"
#include "app/subcommands.h"
#include "video/export_video.h"

namespace lumen::app {
namespace {

std::atomic<bool> interrupted{false};
void OnInterrupt(int) { interrupted = true; }

std::string Clock(double seconds) {
  const auto s = static_cast<long>(std::lround(seconds));
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
  return text;
}

// A bar on a terminal, a line every few seconds otherwise.
class ProgressReport {
 public:
  ProgressReport() : terminal_(::isatty(2) != 0), start_(std::chrono::steady_clock::now()) {}
  void Show(int done, int total) {
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const double left = done > 0 ? elapsed * (total - done) / done : 0;
    const int percent = total > 0 ? 100 * done / total : 100;
    if (terminal_) {
      const int filled = percent * 30 / 100;
      std::cerr << "\r[" << std::string(static_cast<size_t>(filled), '#') << std::string(static_cast<size_t>(30 - filled), '-')
                << "] " << percent << "%  " << Clock(left) << " left " << std::flush;
    } else if (elapsed - lastLine_ >= 5 || done == total) {
      lastLine_ = elapsed;
      std::cerr << "lumenshow: video: " << percent << "% (" << done << " of " << total << " turns), about " << Clock(left)
                << " left\n";
    }
  }
  void End() {
    if (terminal_) std::cerr << "\n";
  }

 private:
  bool terminal_;
  std::chrono::steady_clock::time_point start_;
  double lastLine_ = -5;
};

}  // namespace

int RunVideo(const std::vector<std::string>& args) {
  auto options = ParseCommandOptions(args, "video");
  if (!options) return BadArguments("video", options.reason());
  if (options->positional.size() != 1 || options->Value("--out") == nullptr) {
    return BadArguments("video", UsageLine("video"));
  }
  const std::string& folder = options->positional.front();
  const std::string out = *options->Value("--out");
  video::VideoFormat format;
  const auto container = video::ContainerFor(out);
  if (!container) return BadArguments("video", "'" + out + "' names no video file: end it in .mp4, .mkv or .webm");
  format.container = *container;
  if (const std::string* text = options->Value("--size")) {
    const auto size = ParseSize(*text, 8192);
    if (!size || size->first % 2 != 0 || size->second % 2 != 0) {  // 4:2:0 video halves both sides
      return BadArguments("video", "--size takes even WIDTHxHEIGHT up to 8192x8192, such as 1920x1080, not '" + *text +
                                       "'");
    }
    format.width = size->first, format.height = size->second;
  }
  double fps = 60, rounds = 1, quality = -1;
  if (!ReadNumberOption(*options, "video", "--fps", 1, 240, "from 1 to 240", fps) ||
      !ReadNumberOption(*options, "video", "--rounds", 1, 1000, "from 1 to 1000", rounds) ||
      !ReadNumberOption(*options, "video", "--quality", 0, video::MaxQuality(format.container),
                        "from 0 to " + std::to_string(video::MaxQuality(format.container)), quality)) {
    return kBadArguments;
  }
  if (fps != std::floor(fps) || rounds != std::floor(rounds) || quality != std::floor(quality)) {
    return BadArguments("video", "--fps, --rounds and --quality take whole numbers");
  }
  format.fps = static_cast<int>(fps);
  format.quality = static_cast<int>(quality);
  const settings::Settings saved = LoadSettingsFor(*options);
  auto shown = ShowDataFor(*options, folder, saved);
  if (!shown) return BadArguments("video", shown.reason());
  const settings::ShowData& data = *shown;
  if (data.ImageCount == 0) return BadArguments("video", "the folder '" + folder + "' has no pictures");

  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);  // each removes the temporary file
  ProgressReport report;
  // A frame of a large video keeps the encoder busy for seconds: a stop the export has not
  // answered within a second is carried out here, its temporary file removed first.
  std::mutex temporaryMutex;
  std::string temporary;
  std::atomic<bool> returned{false};
  std::thread watchdog([&] {
    while (!returned && !interrupted) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    for (int waited = 0; !returned && waited < 40; ++waited) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::lock_guard lock(temporaryMutex);
    if (returned) return;
    if (!temporary.empty()) ::unlink(temporary.c_str());
    std::cerr << "\nlumenshow: video: stopped; nothing written" << std::endl;
    ::_exit(130);
  });
  const auto exported = video::ExportVideo(
      saved, data, static_cast<int>(rounds), format, out,
      [&](int done, int total) {
        report.Show(done, total);
        return !interrupted;
      },
      [&](const std::string& name) {
        std::lock_guard lock(temporaryMutex);
        temporary = name;
      });
  {
    std::lock_guard lock(temporaryMutex);  // the watchdog has not begun its removal, or has ended the program
    returned = true;
  }
  watchdog.join();
  report.End();
  if (!exported) {
    std::cerr << "lumenshow: video: " << exported.reason() << "; nothing written\n";
    return 1;
  }
  if (exported->stopped) {
    std::cerr << "lumenshow: video: stopped; nothing written\n";
    return 130;
  }
  std::cout << out << ": " << exported->frames << " frames, "
            << Clock(static_cast<double>(exported->frames) / format.fps) << "\n";
  return 0;
}

}  // namespace lumen::app
