// What each fuzzer feeds outside bytes to: the same functions run the inputs kept in
// tests/fuzz/regressions/<target>/ in the normal suite. Every one must come back, whatever
// the bytes: no crash, no hang, no sanitizer report.
#pragma once

#include <string>

namespace lumen::fuzz {

// The picture loaders: the show's (from memory and from a file) with a stretched draw,
// the full decoding, the thumbnails' reduced one with the camera's thumbnail, and the
// thumbnail cache's own PNG reader, whose pictures must come back as they are written.
void Picture(const std::string& bytes);
// The settings file: the profile reader and writer, then the settings loaded from it.
void Profile(const std::string& bytes);
// MCI command strings, one per line, to the interpreter over drivers without sound.
void Mci(const std::string& bytes);
// A disc image through libcdio: the first byte picks .cue, .toc or .nrg; the rest is the file.
void Disc(const std::string& bytes);
// A small video export: the first four bytes pick the video's form (container, size, rate,
// quality) and the show's options; the rest is a picture shown twice and, when the options
// say so, the music file too (decoded by FFmpeg as .wav or .mp3).
void Video(const std::string& bytes);

struct Target {
  const char* name;
  void (*run)(const std::string& bytes);
};
inline constexpr Target kTargets[] = {
    {"picture", Picture}, {"profile", Profile}, {"mci", Mci}, {"disc", Disc}, {"video", Video}};

}  // namespace lumen::fuzz
