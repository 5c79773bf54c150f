#include "platform/gdi/gdi.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/stretch_map.h"

namespace lumen::platform::gdi {
namespace {

struct Span {
  int first, last;  // destination indexes [first, last) inside the destination surface
};

Span Clip(int origin, int length, int limit) {
  return {std::max(0, -origin), std::min(length, limit - origin)};
}

}  // namespace

int SetStretchBltMode(Surface& surface, int mode) { return surface.SetStretchMode(mode); }

bool PatBlt(Surface& destination, int x, int y, int width, int height, COLORREF colour) {
  Span cols = Clip(x, width, destination.Width());
  Span rows = Clip(y, height, destination.Height());
  if (cols.first >= cols.last || rows.first >= rows.last) return false;
  const uint32_t pixel = PixelFromColorRef(colour);
  for (int j = rows.first; j < rows.last; ++j) {
    uint32_t* row = destination.Row(y + j) + x;
    std::fill(row + cols.first, row + cols.last, pixel);
  }
  return true;
}

bool BitBlt(Surface& destination, int x, int y, int width, int height, const Surface& source,
            int sourceX, int sourceY) {
  return StretchBlt(destination, x, y, width, height, source, sourceX, sourceY, width, height);
}

bool StretchBlt(Surface& destination, int x, int y, int width, int height, const Surface& source,
                int sourceX, int sourceY, int sourceWidth, int sourceHeight, uint32_t rop) {
  if (rop != SRCCOPY || width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0) return false;
  Span cols = Clip(x, width, destination.Width());
  Span rows = Clip(y, height, destination.Height());
  if (cols.first >= cols.last || rows.first >= rows.last) return false;

  // Source column of each destination column; -1 where it lies outside the source.
  std::vector<int> columnSource(static_cast<size_t>(cols.last - cols.first));
  bool anyColumn = false;
  for (int i = cols.first; i < cols.last; ++i) {
    int sx = sourceX + StretchSource(i, sourceWidth, width, StretchAxis::Columns);
    bool inside = sx >= 0 && sx < source.Width();
    columnSource[static_cast<size_t>(i - cols.first)] = inside ? sx : -1;
    anyColumn = anyColumn || inside;
  }
  if (!anyColumn) return false;
  // Where all columns are inside and consecutive, a row is one memcpy.
  const bool straight = sourceWidth == width && columnSource.front() >= 0 && columnSource.back() >= 0;

  bool drew = false;
  for (int j = rows.first; j < rows.last; ++j) {
    int sy = sourceY + StretchSource(j, sourceHeight, height, StretchAxis::Rows);
    if (sy < 0 || sy >= source.Height()) continue;
    const uint32_t* from = source.Row(sy);
    uint32_t* to = destination.Row(y + j) + x;
    if (straight) {
      std::memcpy(to + cols.first, from + columnSource.front(),
                  static_cast<size_t>(cols.last - cols.first) * sizeof(uint32_t));
    } else {
      for (int i = cols.first; i < cols.last; ++i) {
        int sx = columnSource[static_cast<size_t>(i - cols.first)];
        if (sx >= 0) to[i] = from[sx];
      }
    }
    drew = true;
  }
  return drew;
}

}  // namespace lumen::platform::gdi
