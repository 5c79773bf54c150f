// BMP files for the tests: pictures of one colour through Qt, and files built byte by byte.
#pragma once

#include <QImage>
#include <cstdint>
#include <string>

namespace lumen::test {

inline bool WriteSolidBmp(const std::string& path, int width, int height, QRgb colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image.save(QString::fromStdString(path), "BMP");
}

// n bytes of v, the least significant first.
inline std::string Le(uint32_t v, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += char((v >> (8 * i)) & 0xFF);
  return s;
}

// A BMP with a 40-byte header; a negative height is stored top-down.
inline std::string BmpFile(int width, int height, int bits, int compression, const std::string& palette,
                           const std::string& pixels) {
  const std::string info = Le(40, 4) + Le(uint32_t(width), 4) + Le(uint32_t(height), 4) + Le(1, 2) + Le(bits, 2) +
                           Le(compression, 4) + Le(uint32_t(pixels.size()), 4) + Le(2835, 4) + Le(2835, 4) +
                           Le(uint32_t(palette.size() / 4), 4) + Le(0, 4);
  const uint32_t offset = uint32_t(14 + info.size() + palette.size());
  return "BM" + Le(offset + uint32_t(pixels.size()), 4) + Le(0, 4) + Le(offset, 4) + info + palette + pixels;
}

}  // namespace lumen::test
