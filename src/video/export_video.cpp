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

struct TemporaryFile {
  int fd;
  std::string path;
};

// The temporary file: a name of its own beside the video ("show.mp4.k3x9qa.part"), made
// here and only here (O_EXCL: never a file, link or folder that was there before, such as
// a .part an earlier run left when it was killed).
Result<TemporaryFile> MakeTemporary(const std::string& path) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device entropy;
  std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string tag;
    for (int i = 0; i < 6; ++i) tag += kLetters[pick(entropy)];
    std::string temporary = path + "." + tag + ".part";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) return TemporaryFile{fd, std::move(temporary)};
    if (errno != EEXIST) return Fail("cannot write '" + path + "': " + std::strerror(errno));
  }
  return Fail("cannot write '" + path + "': no free temporary name beside it");
}

}  // namespace

Result<ExportedVideo> ExportVideo(const settings::Settings& settings, const settings::ShowData& data, int rounds,
                                  VideoFormat format, const std::string& path, const Progress& progress,
                                  const std::function<void(const std::string&)>& madeTemporary) {
  format.audio = RecordedMusic::WouldSound(settings);  // no music: no audio stream
  auto temporary = MakeTemporary(path);
  if (!temporary) return temporary.failure();
  if (madeTemporary) madeTemporary(temporary->path);
  VideoResult result = VideoResult::Failed;
  ExportedVideo exported;
  std::string reason;
  {
    auto encoder = VideoEncoder::Open(temporary->path, temporary->fd, format);
    if (encoder) {
      result = RenderShowVideo(settings, data, rounds, format, **encoder, progress);
      if (result == VideoResult::Written && !(*encoder)->Finish()) result = VideoResult::Failed;
      exported.frames = (*encoder)->FramesWritten();
    } else {
      reason = encoder.reason();
    }
  }
  // close() is where a full network disk may say so last.
  if (::close(temporary->fd) != 0 && result == VideoResult::Written) result = VideoResult::Failed;
  if (result == VideoResult::Written && std::rename(temporary->path.c_str(), path.c_str()) == 0) return exported;
  ::unlink(temporary->path.c_str());  // the one file this export made
  if (result == VideoResult::Stopped) return ExportedVideo{.stopped = true, .frames = 0};
  return Fail(reason.empty() ? "cannot write '" + path + "'" : reason);
}

}  // namespace lumen::video
