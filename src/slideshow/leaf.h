// The turning leaf: its geometry for a fold position, and FlipSBlt, which draws it
// column by column.
#pragma once

#include <cstdint>

#include "platform/gdi/surface.h"

namespace lumen::slideshow {

struct LeafGeometry {
  int32_t lift;   // how far the free edge is raised: 0 at the page's edges, 150 at the spine
  int32_t left;   // x of the free edge
  int32_t top;    // y of the top of the free edge
  int32_t width;  // signed distance from the free edge to the spine
};

// For the 900 x 600 page with a curl height of 750:
//   lift = round(150 * sin(foldPos / 900 * 3.141593)), where 3.141593 is the float constant.
LeafGeometry LeafFor(int32_t foldPos, int32_t pageLeft, int32_t pageTop, int32_t pageWidth,
                     int32_t pageHeight, int32_t curlHeight);

// Draws |w| + 1 one-pixel columns from the free edge at x (c = 0) to the spine at x + w
// (c = 1): column i takes source column round(c * halfWidth) (reverse false) or
// round((2 - c) * halfWidth) (reverse true), stretched to startHeight + round(c * (endHeight
// - startHeight)) rows, its top at round(c * drop + y - arch), where the arch is
// round(endHeight / 20 * sin(c * 3.14159)). c = i / w is kept as a float. A column whose
// source lies outside `source` is not drawn. Nothing at all when w is 0.
void FlipSBlt(platform::gdi::Surface& destination, int32_t x, int32_t y, int32_t w, int32_t startHeight,
              int32_t endHeight, int32_t drop, const platform::gdi::Surface& source, int32_t halfWidth,
              int32_t sourceHeight, bool reverse);

}  // namespace lumen::slideshow
