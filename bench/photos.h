// 24-megapixel (6000 x 4000) photographs with fine detail everywhere, for the show's
// benchmarks. Written once into the folder and reused.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <turbojpeg.h>
#include <vector>

namespace lumen::bench {

// RGB pixels as 4:2:0 JPEG bytes.
inline std::string JpegBytes(const std::vector<unsigned char>& rgb, int w, int h, int quality) {
  tjhandle handle = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  tjCompress2(handle, rgb.data(), w, 0, h, TJPF_RGB, &jpeg, &size, TJSAMP_420, quality, 0);
  std::string bytes(reinterpret_cast<char*>(jpeg), size);
  tjFree(jpeg);
  tjDestroy(handle);
  return bytes;
}

inline void WriteJpeg(const std::string& path, const std::vector<unsigned char>& rgb, int w, int h, int quality) {
  const std::string bytes = JpegBytes(rgb, w, h, quality);
  if (FILE* out = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
  }
}

inline std::string ReadAll(const std::string& path) {
  std::string bytes;
  if (FILE* in = std::fopen(path.c_str(), "rb")) {
    char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) bytes.append(chunk, n);
    std::fclose(in);
  }
  return bytes;
}

inline std::vector<std::string> MakePhotos(const std::string& folder, int count) {
  std::filesystem::create_directories(folder);
  std::vector<std::string> paths;
  for (int k = 1; k <= count; ++k) {
    const std::string path = folder + "/photo" + std::to_string(k) + ".jpg";
    paths.push_back(path);
    if (std::filesystem::exists(path)) continue;
    const int w = 6000, h = 4000;
    std::vector<unsigned char> rgb(size_t(w) * h * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<unsigned char>(((i + k) * 2654435761u) >> 24);
    WriteJpeg(path, rgb, w, h, 92);
  }
  return paths;
}

}  // namespace lumen::bench
