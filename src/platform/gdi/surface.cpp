#include "platform/gdi/surface.h"

#include <algorithm>
#include <cstring>

namespace lumen::platform::gdi {

Surface::Surface(int width, int height, COLORREF background) : background_(background) {
  Resize(width, height);
}

void Surface::SetBackgroundColor(COLORREF c) {
  background_ = c;
  Clear();
}

void Surface::Clear() {
  if (pixels_.empty()) return;
  // One row filled, then copied: memcpy runs at memory speed where a fill loop does not.
  std::fill(Row(0), Row(0) + width_, PixelFromColorRef(background_));
  for (int y = 1; y < height_; ++y) std::memcpy(Row(y), Row(0), static_cast<size_t>(width_) * sizeof(uint32_t));
}

void Surface::Resize(int width, int height) {
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  pixels_.assign(static_cast<size_t>(width_) * height_, PixelFromColorRef(background_));
}

int Surface::SetStretchMode(int mode) {
  int previous = stretchMode_;
  stretchMode_ = mode;
  return previous;
}

}  // namespace lumen::platform::gdi
