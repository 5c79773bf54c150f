// A whole export: the show of a folder written to a video file under a temporary name,
// renamed when whole, removed when stopped or failed. What the video subcommand and the
// main window's "動画に書き出す…" share.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "settings/lumen_b.h"
#include "video/show_video.h"

namespace lumen::video {

// An export that did not fail: written whole, or stopped (its file removed).
struct ExportedVideo {
  bool stopped = false;
  int64_t frames = 0;  // the video's length, when written
};

// format.audio is decided here: on when the saved music would sound. A failure's reason
// is for the user. `madeTemporary`
// learns the temporary file's name as soon as it exists, for a caller that may have to
// remove it without waiting for the export to return.
Result<ExportedVideo> ExportVideo(const settings::Settings& settings, const settings::ShowData& data, int rounds,
                                  VideoFormat format, const std::string& path, const Progress& progress,
                                  const std::function<void(const std::string&)>& madeTemporary = {});

}  // namespace lumen::video
