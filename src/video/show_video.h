// The show of a folder as a video: the saved settings run as an automatic show on a
// virtual screen of the video's size, every presented frame one video frame, every wait
// (the automatic interval, the timer's first second) its length in frames.
#pragma once

#include <functional>
#include <string>

#include "settings/lumen_b.h"
#include "video/video_encoder.h"

namespace lumen::video {

// Called after each turn and every 200 ms or so between (the same count again); return
// false to stop.
using Progress = std::function<bool(int turnsDone, int turnsTotal)>;

enum class VideoResult { Written, Stopped, Failed };

// `rounds` full rounds through the pictures, ending on the page the show started from.
VideoResult RenderShowVideo(const settings::Settings& saved, const settings::ShowData& data, int rounds,
                            const VideoFormat& format, VideoEncoder& encoder, const Progress& progress);

}  // namespace lumen::video
