// Photo-like JPEGs for the thumbnail benchmarks: smooth light, shapes with edges and a
// little grain, as a camera's pictures have (pure noise would be unlike any photo). With
// --exif-thumbnail each also carries a 160-pixel Exif thumbnail, as a camera writes it.
// Run: make_corpus FOLDER COUNT [WIDTH HEIGHT] [--exif-thumbnail]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "photos.h"
#include "support/jpeg_fixtures.h"

int main(int argc, char** argv) {
  const bool exifThumbnail = argc > 1 && std::string(argv[argc - 1]) == "--exif-thumbnail";
  if (exifThumbnail) --argc;
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_corpus FOLDER COUNT [WIDTH HEIGHT] [--exif-thumbnail]\n");
    return 2;
  }
  const std::string folder = argv[1];
  const int count = std::atoi(argv[2]);
  const int w = argc > 4 ? std::atoi(argv[3]) : 4000, h = argc > 4 ? std::atoi(argv[4]) : 3000;
  std::filesystem::create_directories(folder);
  std::vector<unsigned char> rgb(size_t(w) * h * 3);
  unsigned seed = 12345;
  for (int k = 0; k < count; ++k) {
    char name[64];
    std::snprintf(name, sizeof name, "/IMG_%05d.jpg", k + 1);
    const std::string path = folder + name;
    if (std::filesystem::exists(path)) continue;
    const double cx = w * (0.3 + 0.4 * ((k * 37) % 100) / 100.0), cy = h * (0.3 + 0.4 * ((k * 61) % 100) / 100.0);
    const double r = std::min(w, h) * 0.2;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        seed = seed * 1103515245 + 12345;
        const int grain = static_cast<int>((seed >> 16) & 7) - 4;
        const bool inside = (x - cx) * (x - cx) + (y - cy) * (y - cy) < r * r;
        const double light = 0.5 + 0.5 * std::sin((x + k * 50) * 0.002) * std::cos(y * 0.003);
        unsigned char* p = &rgb[(size_t(y) * w + x) * 3];
        p[0] = static_cast<unsigned char>(std::clamp(int(inside ? 200 : 60 + 120 * light) + grain, 0, 255));
        p[1] = static_cast<unsigned char>(std::clamp(int(inside ? 80 : 90 + 100 * light) + grain, 0, 255));
        p[2] = static_cast<unsigned char>(std::clamp(int(inside ? 40 : 140 + 80 * (1 - light)) + grain, 0, 255));
      }
    }
    lumen::bench::WriteJpeg(path, rgb, w, h, 88);
    if (exifThumbnail) {
      // A 160-pixel copy (nearest pixels: a camera's own is no finer) inside the Exif block.
      const int tw = 160, th = std::max(1, h * 160 / w);
      std::vector<unsigned char> small(size_t(tw) * th * 3);
      for (int y = 0; y < th; ++y) {
        for (int x = 0; x < tw; ++x) {
          std::copy_n(&rgb[(size_t(y * h / th) * w + size_t(x) * w / tw) * 3], 3, &small[(size_t(y) * tw + x) * 3]);
        }
      }
      const std::string thumb = lumen::bench::JpegBytes(small, tw, th, 85);
      const std::string full = lumen::test::WithExifThumbnail(lumen::bench::ReadAll(path), thumb);
      if (FILE* out = std::fopen(path.c_str(), "wb")) {
        std::fwrite(full.data(), 1, full.size(), out);
        std::fclose(out);
      }
    }
  }
  return 0;
}
