// A video file written with FFmpeg's libraries: H.264 in MP4 or Matroska, VP9 in WebM,
// at a constant frame rate. A frame shown several times in a row is converted once and
// handed to the encoder again (a standing page costs the encoder almost nothing).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/gdi/surface.h"
#include "platform/result.h"

struct AVCodecContext;
struct AVStream;

namespace lumen::video {

enum class Container { Mp4, Matroska, WebM };

// The container a file name asks for by its extension (any letter case); none when it
// names no container LumenShow writes.
std::optional<Container> ContainerFor(const std::string& path);

struct VideoFormat {
  Container container = Container::Mp4;
  int width = 1920, height = 1080;  // even
  int fps = 60;
  int quality = -1;  // the encoder's constant-quality value (CRF); -1: its good default
  bool audio = false;  // a stereo audio stream: AAC in MP4 and Matroska, Opus in WebM
};

// The quality range of the container's encoder: 0 to 51 (H.264) or 63 (VP9).
int MaxQuality(Container container);

class VideoEncoder {
 public:
  // Writes to `fd`, the file at `path` that the caller made and closes: `path` is only
  // read back, by MP4's second pass that puts the index in front. The reason when the
  // encoder cannot be set up.
  static Result<std::unique_ptr<VideoEncoder>> Open(const std::string& path, int fd, const VideoFormat& format);
  ~VideoEncoder();
  VideoEncoder(const VideoEncoder&) = delete;
  VideoEncoder& operator=(const VideoEncoder&) = delete;

  // The window image, its colour key's pixels black (video has no alpha), scaled to the
  // video's size when it differs, shown for `frames` frames. False on an encoding error.
  bool Add(const platform::gdi::Surface& image, std::optional<platform::gdi::COLORREF> key, int64_t frames);
  // Shows the last image for `frames` more frames.
  bool Repeat(int64_t frames);
  // The next stretch of the audio: 44.1 kHz 16-bit stereo, interleaved.
  bool AddAudio(const int16_t* stereo, size_t frames);
  // Flushes the encoder and closes the file. False when anything failed on the way.
  bool Finish();

  int64_t FramesWritten() const { return next_; }

  // FFmpeg's parts of one encoder (video_encoder.cpp).
  struct Codec;

 private:
  explicit VideoEncoder(std::unique_ptr<Codec> codec);
  bool Send(bool flush);
  bool SendAudio(bool flush);
  bool Drain(AVCodecContext* encoder, AVStream* stream);

  std::unique_ptr<Codec> codec_;
  int64_t next_ = 0;  // the next frame's number (its presentation time)
  bool haveImage_ = false;
};

}  // namespace lumen::video
