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
  // One row filled, the others copied from it: memcpy runs at memory speed, a fill loop not.
  const size_t count = static_cast<size_t>(cols.last - cols.first);
  const uint32_t* first = destination.Row(y + rows.first) + x + cols.first;
  std::fill_n(destination.Row(y + rows.first) + x + cols.first, count, PixelFromColorRef(colour));
  for (int j = rows.first + 1; j < rows.last; ++j) {
    std::memcpy(destination.Row(y + j) + x + cols.first, first, count * sizeof(uint32_t));
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
  const bool sameHeight = sourceHeight == height;
  auto sourceRow = [&](int j) {
    return sourceY + (sameHeight ? j : StretchSource(j, sourceHeight, height, StretchAxis::Rows));
  };

  bool drew = false;
  if (sourceWidth == width) {
    // Columns one to one (the page halves and every leaf column): whole rows at a time,
    // after leaving out the columns whose source lies outside the source.
    cols.first = std::max(cols.first, -sourceX);
    cols.last = std::min(cols.last, source.Width() - sourceX);
    if (cols.first >= cols.last) return false;
    const size_t count = static_cast<size_t>(cols.last - cols.first);
    if (count == 1 && sameHeight) {
      // A single column copied one to one (a leaf column): stride down both surfaces.
      rows.first = std::max(rows.first, -sourceY);
      rows.last = std::min(rows.last, source.Height() - sourceY);
      if (rows.first >= rows.last) return false;
      const uint32_t* from = source.Row(sourceY + rows.first) + sourceX + cols.first;
      uint32_t* to = destination.Row(y + rows.first) + x + cols.first;
      for (int j = rows.first; j < rows.last; ++j, from += source.Width(), to += destination.Width()) *to = *from;
      return true;
    }
    for (int j = rows.first; j < rows.last; ++j) {
      const int sy = sourceRow(j);
      if (sy < 0 || sy >= source.Height()) continue;
      const uint32_t* from = source.Row(sy) + sourceX + cols.first;
      uint32_t* to = destination.Row(y + j) + x + cols.first;
      if (count == 1) {
        *to = *from;
      } else {
        std::memcpy(to, from, count * sizeof(uint32_t));
      }
      drew = true;
    }
    return drew;
  }

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
  for (int j = rows.first; j < rows.last; ++j) {
    const int sy = sourceRow(j);
    if (sy < 0 || sy >= source.Height()) continue;
    const uint32_t* from = source.Row(sy);
    uint32_t* to = destination.Row(y + j) + x;
    for (int i = cols.first; i < cols.last; ++i) {
      int sx = columnSource[static_cast<size_t>(i - cols.first)];
      if (sx >= 0) to[i] = from[sx];
    }
    drew = true;
  }
  return drew;
}

}  // namespace lumen::platform::gdi
