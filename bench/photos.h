// 24-megapixel (6000 x 4000) photographs for the show's benchmarks: smooth fields, edges,
// fine texture and sensor noise, about 9.8 MB each at quality 92, as a camera's fine
// JPEGs are (pure noise would make 19.5 MB files, twice any camera's). Written once into
// the folder and reused.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <turbojpeg.h>
#include <vector>

#include "support/jpeg_fixtures.h"

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

// With restarts, a restart marker ends every row of MCUs, as encoders that mean their
// files to be decoded on several cores write them.
inline std::vector<std::string> MakePhotos(const std::string& folder, int count, bool restarts = false) {
  std::filesystem::create_directories(folder);
  std::vector<std::string> paths;
  for (int k = 1; k <= count; ++k) {
    const std::string path = folder + (restarts ? "/restarts" : "/scene") + std::to_string(k) + ".jpg";
    paths.push_back(path);
    if (std::filesystem::exists(path)) continue;
    const int w = 6000, h = 4000;
    std::vector<unsigned char> rgb(size_t(w) * h * 3);
    uint32_t seed = 12345u * k;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        seed = seed * 1664525u + 1013904223u;
        const int noise = int(seed >> 27) - 16;
        const double fx = x / 6000.0 + 0.1 * k, fy = y / 4000.0;
        const double base = 128 + 80 * std::sin(fx * 9 + std::sin(fy * 7) * 2) * std::cos(fy * 5) +
                            30 * std::sin((fx + fy) * 140);
        const int edge = ((x / 250 + y / 200) % 3) * 25;
        unsigned char* p = &rgb[(size_t(y) * w + x) * 3];
        p[0] = static_cast<unsigned char>(std::clamp(int(base) + edge + noise, 0, 255));
        p[1] = static_cast<unsigned char>(std::clamp(int(base * 0.8) + 40 + noise, 0, 255));
        p[2] = static_cast<unsigned char>(std::clamp(int(255 - base) + edge / 2 + noise, 0, 255));
      }
    }
    if (!restarts) {
      WriteJpeg(path, rgb, w, h, 92);
      continue;
    }
    const std::string bytes = test::JpegWithRestarts(rgb, w, h, (w + 15) / 16, 2, 2, 92);
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
      std::fwrite(bytes.data(), 1, bytes.size(), out);
      std::fclose(out);
    }
  }
  return paths;
}

}  // namespace lumen::bench
