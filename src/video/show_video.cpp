#include "video/show_video.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "music/lumen_bgm.h"
#include "music/show_music.h"
#include "slideshow/lumen_s.h"
#include "slideshow/virtual_screen.h"
#include "platform/audio/file_sound.h"
#include "video/recorded_music.h"

namespace lumen::video {

using platform::audio::FileSound;
using platform::audio::kAudioRate;

using slideshow::VirtualScreen;

VideoResult RenderShowVideo(const settings::Settings& saved, const settings::ShowData& data, int rounds,
                            const VideoFormat& format, VideoEncoder& encoder, const Progress& progress) {
  settings::Settings automatic = saved;
  automatic.AdvanceMode = settings::Advance::Automatic;  // whatever was saved: a video turns its pages by itself
  // A present takes one video frame: the show's clock is the video's.
  const VirtualScreen::Nanoseconds frame = 1'000'000'000 / format.fps;
  VirtualScreen host({format.width, format.height}, true, 1.0, frame);
  RecordedMusic recorded([&] { return host.Now(); });
  music::Lumen_BGM bgm(recorded, automatic);
  music::ShowMusic music(bgm, automatic);
  slideshow::Lumen_S show(host, automatic, data, format.audio ? &music : nullptr);
  host.Attach(&show);

  // Each present is one video frame; the time between the end of one present and the
  // start of the next is the standing image's, in frames (fractions carried over, so that
  // long shows do not drift).
  VirtualScreen::Nanoseconds shownUntil = 0;
  double owed = 0;
  bool ok = true;
  auto standing = [&](VirtualScreen::Nanoseconds until) {
    owed += static_cast<double>(until - shownUntil) * format.fps / 1e9;
    const auto frames = static_cast<int64_t>(std::floor(owed));
    owed -= static_cast<double>(frames);
    ok = ok && encoder.Repeat(frames);
  };
  host.OnPresent([&](const platform::gdi::Surface& image, std::optional<platform::gdi::COLORREF> key) {
    standing(host.Now() - frame);
    ok = ok && encoder.Add(image, key, 1);
    shownUntil = host.Now();
  });

  // The audio follows the pictures a second behind: the last second fades out, and where
  // the video ends is known only at the end.
  int64_t audioDone = 0;
  std::vector<int16_t> samples;
  auto audioUpTo = [&](int64_t end, bool fade) {
    if (!format.audio || end <= audioDone) return;
    samples.assign(static_cast<size_t>(end - audioDone) * 2, 0);
    recorded.Render(audioDone, samples.size() / 2, samples.data());
    if (fade) {
      const int64_t length = std::min<int64_t>(kAudioRate, end - audioDone);
      for (int64_t i = 0; i < length; ++i) {
        const int64_t at = static_cast<int64_t>(samples.size() / 2) - length + i;
        const double gain = static_cast<double>(length - i) / static_cast<double>(length);
        for (int channel = 0; channel < 2; ++channel) {
          int16_t& s = samples[static_cast<size_t>(at * 2 + channel)];
          s = static_cast<int16_t>(std::lround(s * gain));
        }
      }
    }
    ok = ok && encoder.AddAudio(samples.data(), samples.size() / 2);
    audioDone = end;
  };

  host.Open();
  const int turns = rounds * data.ImageCount;
  int reported = 0;
  // Asked after every turn, and at least five times a second between (a turn of a large
  // video takes minutes): a stop is never waited for longer than one frame.
  auto asked = std::chrono::steady_clock::now();
  while (ok && host.Ticks(slideshow::ShowTimer::AutoTurn) < turns && !host.Closed()) {
    host.RunFor(frame);
    audioUpTo(recorded.NowFrames() - kAudioRate, false);
    const auto now = std::chrono::steady_clock::now();
    if (host.Ticks(slideshow::ShowTimer::AutoTurn) != reported || now - asked >= std::chrono::milliseconds(200)) {
      reported = host.Ticks(slideshow::ShowTimer::AutoTurn);
      asked = now;
      if (!progress(reported, turns)) return VideoResult::Stopped;
    }
  }
  // The last tick returns after its wait: the first page stands until then.
  standing(host.Now());
  ok = ok && encoder.Repeat(std::lround(owed));
  audioUpTo(encoder.FramesWritten() * kAudioRate / format.fps, true);
  return ok ? VideoResult::Written : VideoResult::Failed;
}

}  // namespace lumen::video
