// Pictures of one colour, written as BMP files for the tests.
#pragma once

#include <QImage>
#include <string>

namespace lumen::test {

inline bool WriteSolidBmp(const std::string& path, int width, int height, QRgb colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image.save(QString::fromStdString(path), "BMP");
}

}  // namespace lumen::test
