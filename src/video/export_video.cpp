#include "video/export_video.h"

#include <filesystem>

#include "video/recorded_music.h"

namespace lumen::video {

ExportOutcome ExportVideo(const settings::Settings& settings, const settings::ShowData& data, int rounds,
                          VideoFormat format, const std::string& path, const Progress& progress) {
  ExportOutcome outcome;
  format.audio = RecordedMusic::WouldSound(settings);  // no music: no audio stream
  const std::string partial = path + ".part";
  std::error_code ignored;
  {
    auto encoder = VideoEncoder::Open(partial, format, outcome.error);
    if (encoder) {
      outcome.result = RenderShowVideo(settings, data, rounds, format, *encoder, progress);
      if (outcome.result == VideoResult::Written && !encoder->Finish()) outcome.result = VideoResult::Failed;
      outcome.frames = encoder->FramesWritten();
    }
  }
  if (outcome.result == VideoResult::Written) {
    std::filesystem::rename(partial, path, ignored);
    if (!ignored) return outcome;
    outcome.result = VideoResult::Failed;
  }
  if (outcome.result == VideoResult::Failed && outcome.error.empty()) outcome.error = "cannot write '" + path + "'";
  std::filesystem::remove(partial, ignored);
  return outcome;
}

}  // namespace lumen::video
