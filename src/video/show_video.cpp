#include "video/show_video.h"

#include <cmath>

#include "slideshow/lumen_s.h"
#include "slideshow/virtual_screen.h"

namespace lumen::video {

using slideshow::VirtualScreen;

VideoResult RenderShowVideo(const settings::Settings& saved, const settings::ShowData& data, int rounds,
                            const VideoFormat& format, VideoEncoder& encoder, const Progress& progress) {
  settings::Settings automatic = saved;
  automatic.AdvanceMode = 1;  // whatever was saved: a video turns its pages by itself
  VirtualScreen host({format.width, format.height}, true);
  slideshow::Lumen_S show(host, automatic, data, nullptr);
  host.Attach(&show);

  // The virtual clock runs on; each present is one video frame, and the time between the
  // end of one present and the start of the next is the standing image's, in frames
  // (fractions carried over, so that long shows do not drift).
  const double framesPerNanosecond = format.fps / 1e9;
  VirtualScreen::Nanoseconds shownUntil = 0;
  double owed = 0;
  bool ok = true;
  auto standing = [&](VirtualScreen::Nanoseconds until) {
    owed += static_cast<double>(until - shownUntil) * framesPerNanosecond;
    const auto frames = static_cast<int64_t>(std::floor(owed));
    owed -= static_cast<double>(frames);
    ok = ok && encoder.Repeat(frames);
  };
  host.OnPresent([&](const platform::gdi::Surface& image, std::optional<platform::gdi::COLORREF> key) {
    standing(host.Now() - VirtualScreen::kRefresh);
    ok = ok && encoder.Add(image, key, 1);
    shownUntil = host.Now();
  });
  host.Open();

  const int turns = rounds * data.ImageCount;
  int reported = 0;
  while (ok && host.Ticks(3) < turns && !host.Closed()) {
    host.RunFor(VirtualScreen::kRefresh);
    if (host.Ticks(3) != reported) {
      reported = host.Ticks(3);
      if (!progress(reported, turns)) return VideoResult::Stopped;
    }
  }
  // The last tick returns after its wait: the first page stands until then.
  standing(host.Now());
  ok = ok && encoder.Repeat(std::lround(owed));
  return ok ? VideoResult::Written : VideoResult::Failed;
}

}  // namespace lumen::video
