#include "slideshow/leaf.h"

#include <algorithm>
#include <cmath>

#include "platform/gdi/gdi.h"
#include "platform/rounding.h"

namespace lumen::slideshow {

using platform::RoundHalfEven;

LeafGeometry LeafFor(int32_t foldPos, int32_t pageLeft, int32_t pageTop, int32_t pageWidth,
                     int32_t pageHeight, int32_t curlHeight) {
  // The single-precision pi, widened: 3.1415929794311523.
  const double pi = static_cast<double>(3.141593f);
  const double along = static_cast<double>(foldPos) / pageWidth;
  LeafGeometry leaf{};
  leaf.lift = RoundHalfEven((curlHeight - pageHeight) * std::sin(along * pi));
  leaf.left = pageLeft + foldPos;
  leaf.top = pageTop - leaf.lift;
  leaf.width = RoundHalfEven(pageWidth / 2.0 - foldPos);
  return leaf;
}

void FlipSBlt(platform::gdi::Surface& destination, int32_t x, int32_t y, int32_t w, int32_t startHeight,
              int32_t endHeight, int32_t drop, const platform::gdi::Surface& source, int32_t halfWidth,
              int32_t sourceHeight, bool reverse) {
  if (w == 0) return;
  platform::gdi::SetStretchBltMode(destination, platform::gdi::COLORONCOLOR);
  for (int32_t i = std::min(0, w); i <= std::max(0, w); ++i) {
    // c is stored as a float; everything computed from it afterwards is double.
    const float c = static_cast<float>(static_cast<double>(i) / w);
    const double cd = c;
    const int32_t growth = RoundHalfEven(cd * (endHeight - startHeight));
    const int32_t arch = RoundHalfEven(endHeight / 20.0 * std::sin(cd * 3.14159));
    const int32_t sourceX = RoundHalfEven(reverse ? (2 - cd) * halfWidth : cd * halfWidth);
    const int32_t top = RoundHalfEven(cd * drop + y - arch);
    platform::gdi::StretchBlt(destination, x + i, top, 1, startHeight + growth, source, sourceX, 0, 1,
                              sourceHeight);
  }
}

}  // namespace lumen::slideshow
