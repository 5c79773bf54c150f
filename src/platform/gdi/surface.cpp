#include "platform/gdi/surface.h"

#include <algorithm>

namespace lumen::platform::gdi {

Surface::Surface(int width, int height, COLORREF background) : background_(background) {
  Resize(width, height);
}

void Surface::SetBackgroundColor(COLORREF c) {
  background_ = c;
  Clear();
}

void Surface::Clear() { std::fill(pixels_.begin(), pixels_.end(), PixelFromColorRef(background_)); }

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
