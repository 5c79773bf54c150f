// A music file's sound as 44.1 kHz 16-bit stereo, decoded by FFmpeg as it is read, so a
// file of any length costs the same memory: what the played WAV and the video's audio
// take from a music file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lumen::platform::audio {

inline constexpr int kAudioRate = 44100;

class FileSound {
 public:
  // Null when the file cannot be decoded.
  static std::unique_ptr<FileSound> Open(const std::string& path);
  ~FileSound();
  FileSound(const FileSound&) = delete;
  FileSound& operator=(const FileSound&) = delete;

  double LengthSeconds() const { return length_; }
  // Reading goes on from this many seconds into the file.
  void Seek(double seconds);
  // Up to `frames` stereo frames; fewer only at the end of the file.
  size_t Read(int16_t* stereo, size_t frames);

 private:
  struct Decoder;
  explicit FileSound(std::unique_ptr<Decoder> decoder, double length);
  bool DecodeMore();

  std::unique_ptr<Decoder> decoder_;
  double length_;
  std::vector<int16_t> pending_;  // decoded, not read yet
  size_t pendingAt_ = 0;
  int64_t skip_ = 0;  // frames still to drop after a seek
};

}  // namespace lumen::platform::audio
