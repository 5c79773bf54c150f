#include "slideshow/leaf.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

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

namespace {

struct LeafColumn {
  int32_t x, top, sourceX;
  int32_t first, last;  // the rows [first, last) of the column that land inside both surfaces
};

// Columns as tall as their source (every page-turn frame): the same pixels as one
// StretchBlt per column, written sixteen columns at a time row by row, so that each
// destination row's cache line is written once rather than once per column.
void CopyColumnsByRows(platform::gdi::Surface& destination, const std::vector<LeafColumn>& columns,
                       const platform::gdi::Surface& source) {
  constexpr size_t kBlock = 16;
  for (size_t b = 0; b < columns.size(); b += kBlock) {
    const size_t end = std::min(columns.size(), b + kBlock);
    int32_t from = INT32_MAX, to = INT32_MIN;  // destination rows any column of the block covers
    for (size_t k = b; k < end; ++k) {
      from = std::min(from, columns[k].top + columns[k].first);
      to = std::max(to, columns[k].top + columns[k].last);
    }
    for (int32_t row = from; row < to; ++row) {
      uint32_t* out = destination.Row(row);
      for (size_t k = b; k < end; ++k) {
        const LeafColumn& c = columns[k];
        const int32_t j = row - c.top;
        if (j >= c.first && j < c.last) out[c.x] = source.Row(j)[c.sourceX];
      }
    }
  }
}

}  // namespace

void FlipSBlt(platform::gdi::Surface& destination, int32_t x, int32_t y, int32_t w, int32_t startHeight,
              int32_t endHeight, int32_t drop, const platform::gdi::Surface& source, int32_t halfWidth,
              int32_t sourceHeight, bool reverse) {
  if (w == 0) return;
  platform::gdi::SetStretchBltMode(destination, platform::gdi::COLORONCOLOR);
  const bool oneToOne = startHeight == endHeight && startHeight == sourceHeight;
  std::vector<LeafColumn> columns;
  for (int32_t i = std::min(0, w); i <= std::max(0, w); ++i) {
    // c is stored as a float; everything computed from it afterwards is double.
    const float c = static_cast<float>(static_cast<double>(i) / w);
    const double cd = c;
    const int32_t growth = RoundHalfEven(cd * (endHeight - startHeight));
    const int32_t arch = RoundHalfEven(endHeight / 20.0 * std::sin(cd * 3.14159));
    const int32_t sourceX = RoundHalfEven(reverse ? (2 - cd) * halfWidth : cd * halfWidth);
    const int32_t top = RoundHalfEven(cd * drop + y - arch);
    if (!oneToOne) {
      platform::gdi::StretchBlt(destination, x + i, top, 1, startHeight + growth, source, sourceX, 0, 1,
                                sourceHeight);
      continue;
    }
    // What StretchBlt clips a one-to-one column to: inside both surfaces, or nothing.
    if (x + i < 0 || x + i >= destination.Width() || sourceX < 0 || sourceX >= source.Width()) continue;
    const int32_t first = std::max(0, -top);
    const int32_t last = std::min({startHeight, destination.Height() - top, source.Height()});
    if (first < last) columns.push_back({x + i, top, sourceX, first, last});
  }
  CopyColumnsByRows(destination, columns, source);
}

}  // namespace lumen::slideshow
