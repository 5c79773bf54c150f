// GDI-style drawing between surfaces. Every write is clipped to the destination; no
// source pixel outside the source surface is ever read (the destination pixel that would
// take it keeps what it held). Calls return false when they draw nothing at all.
#pragma once

#include "platform/gdi/surface.h"

namespace lumen::platform::gdi {

int SetStretchBltMode(Surface& surface, int mode);

// Fills the rectangle with the colour (PatBlt with a solid brush and PATCOPY).
bool PatBlt(Surface& destination, int x, int y, int width, int height, COLORREF colour);

// One-to-one copy of a width x height rectangle (SRCCOPY).
bool BitBlt(Surface& destination, int x, int y, int width, int height, const Surface& source,
            int sourceX, int sourceY);

// Copies the source rectangle onto the destination rectangle, scaled to fill it with the
// COLORONCOLOR rule of stretch_map.h, whatever the destination's stretch mode (the show
// sets COLORONCOLOR before every copy). The mapping is that of the whole rectangles;
// clipping only leaves pixels out. Negative sizes (mirroring) are not supported.
bool StretchBlt(Surface& destination, int x, int y, int width, int height, const Surface& source,
                int sourceX, int sourceY, int sourceWidth, int sourceHeight, uint32_t rop = SRCCOPY);

}  // namespace lumen::platform::gdi
