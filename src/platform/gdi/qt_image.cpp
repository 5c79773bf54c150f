#include "platform/gdi/qt_image.h"

#include <algorithm>

namespace lumen::platform::gdi {

QImage AsQImage(Surface& surface) {
  if (surface.Empty()) return {};
  return QImage(reinterpret_cast<uchar*>(surface.Row(0)), surface.Width(), surface.Height(), surface.Width() * 4,
                QImage::Format_RGB32);
}

QImage ToQImage(const Surface& surface) { return AsQImage(const_cast<Surface&>(surface)).copy(); }

Surface FromQImage(const QImage& image) {
  Surface surface(image.width(), image.height());
  // Converted a band of rows at a time: a large picture in another format (a paletted
  // BMP) never stands a third time, whole, as a converted copy.
  constexpr int kBand = 64;
  for (int top = 0; top < image.height(); top += kBand) {
    const int rows = std::min(kBand, image.height() - top);
    const QImage band = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
                            ? image
                            : image.copy(0, top, image.width(), rows).convertToFormat(QImage::Format_RGB32);
    const int first = band.height() == image.height() ? top : 0;
    for (int y = 0; y < rows; ++y) {
      const auto* from = reinterpret_cast<const uint32_t*>(band.constScanLine(first + y));
      std::copy(from, from + image.width(), surface.Row(top + y));
    }
  }
  return surface;
}

void PutKeyed(const Surface& image, std::optional<COLORREF> key, QImage& into, QPoint at) {
  const bool premultiplied = into.format() == QImage::Format_ARGB32_Premultiplied;
  const uint32_t keyPixel = key ? PixelFromColorRef(*key) : 0;
  const int x0 = std::max(0, at.x()), x1 = std::min(into.width(), at.x() + image.Width());
  const int y0 = std::max(0, at.y()), y1 = std::min(into.height(), at.y() + image.Height());
  for (int y = y0; y < y1; ++y) {
    const uint32_t* from = image.Row(y - at.y()) + (x0 - at.x());
    auto* to = reinterpret_cast<uint32_t*>(into.scanLine(y)) + x0;
    if (!key) {
      std::copy(from, from + (x1 - x0), to);
      continue;
    }
    for (int x = 0; x < x1 - x0; ++x) {
      to[x] = from[x] != keyPixel ? from[x] : premultiplied ? 0u : from[x] & 0x00FFFFFFu;
    }
  }
}

}  // namespace lumen::platform::gdi
