#include "video/export_video.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include "video/recorded_music.h"

namespace lumen::video {
namespace {

// The temporary file: a name of its own beside the video ("show.mp4.k3x9qa.part"), made
// here and only here (O_EXCL: never a file, link or folder that was there before, such as
// a .part an earlier run left when it was killed). -1 when none can be made.
int MakeTemporary(const std::string& path, std::string& temporary, std::string& error) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device entropy;
  std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string tag;
    for (int i = 0; i < 6; ++i) tag += kLetters[pick(entropy)];
    temporary = path + "." + tag + ".part";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) {
      error = "cannot write '" + path + "': " + std::strerror(errno);
      return -1;
    }
  }
  error = "cannot write '" + path + "': no free temporary name beside it";
  return -1;
}

}  // namespace

ExportOutcome ExportVideo(const settings::Settings& settings, const settings::ShowData& data, int rounds,
                          VideoFormat format, const std::string& path, const Progress& progress,
                          const std::function<void(const std::string&)>& madeTemporary) {
  ExportOutcome outcome;
  format.audio = RecordedMusic::WouldSound(settings);  // no music: no audio stream
  std::string temporary;
  const int fd = MakeTemporary(path, temporary, outcome.error);
  if (fd < 0) return outcome;
  if (madeTemporary) madeTemporary(temporary);
  {
    auto encoder = VideoEncoder::Open(temporary, fd, format, outcome.error);
    if (encoder) {
      outcome.result = RenderShowVideo(settings, data, rounds, format, *encoder, progress);
      if (outcome.result == VideoResult::Written && !encoder->Finish()) outcome.result = VideoResult::Failed;
      outcome.frames = encoder->FramesWritten();
    }
  }
  // close() is where a full network disk may say so last.
  if (::close(fd) != 0 && outcome.result == VideoResult::Written) outcome.result = VideoResult::Failed;
  if (outcome.result == VideoResult::Written && std::rename(temporary.c_str(), path.c_str()) == 0) return outcome;
  if (outcome.result == VideoResult::Written) outcome.result = VideoResult::Failed;
  if (outcome.result == VideoResult::Failed && outcome.error.empty()) outcome.error = "cannot write '" + path + "'";
  ::unlink(temporary.c_str());  // the one file this export made
  return outcome;
}

}  // namespace lumen::video
