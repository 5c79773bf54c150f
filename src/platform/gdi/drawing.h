// The rest of the GDI-style drawing the custom controls use: rectangles, solid and
// pattern brushes, lines that exclude their end point, edges, focus rectangles, the
// scroll-arrow frame controls, and the system colours and metrics they draw with.
#pragma once

#include <cstdint>

#include "platform/gdi/surface.h"

namespace lumen::platform::gdi {

struct RECT {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool operator==(const RECT&) const = default;
};

// System colours: the classic Windows look, fixed (there is no system to ask).
enum SysColor { COLOR_SCROLLBAR = 0, COLOR_BTNFACE = 15, COLOR_BTNSHADOW = 16, COLOR_GRAYTEXT = 17,
                COLOR_BTNTEXT = 18, COLOR_BTNHIGHLIGHT = 20, COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22 };
COLORREF GetSysColor(int index);

inline constexpr int SM_CXHSCROLL = 21;
inline constexpr int SM_CYVSCROLL = 2;
int GetSystemMetrics(int index);  // 17 for both scroll-arrow sizes

// A brush: a solid colour, or the 8 x 8 one-bit pattern (rows from the top, bit 7 the
// leftmost pixel) drawn with `foreground` for 0 bits and `background` for 1 bits, as GDI
// draws monochrome pattern brushes with a device context's text and background colours.
struct Brush {
  COLORREF colour = 0;
  bool pattern = false;
  uint8_t rows[8] = {};
  COLORREF foreground = 0x000000, background = 0xFFFFFF;
};
Brush SolidBrush(COLORREF colour);
// Rows alternating 0xAA and 0x55: a one-pixel checkerboard.
Brush CheckerBrush(COLORREF foreground, COLORREF background);

// The pattern is aligned to the surface's origin, whatever the rectangle.
void FillRect(Surface& s, const RECT& r, const Brush& brush);
void InvertRect(Surface& s, const RECT& r);
// A horizontal or vertical line from (x0, y0) up to, not including, (x1, y1).
void DrawLine(Surface& s, int x0, int y0, int x1, int y1, COLORREF colour);
// Every other pixel of the rectangle's border inverted, starting at its top-left corner.
void DrawFocusRect(Surface& s, const RECT& r);

inline constexpr unsigned EDGE_RAISED = 5, BF_RECT = 15;
// EDGE_RAISED: outer ring light at top left and dark shadow at bottom right; inner ring
// highlight and shadow.
void DrawEdge(Surface& s, const RECT& r, unsigned edge, unsigned flags);

inline constexpr unsigned DFC_SCROLL = 3;
inline constexpr unsigned DFCS_SCROLLUP = 0, DFCS_SCROLLDOWN = 1, DFCS_SCROLLLEFT = 2, DFCS_SCROLLRIGHT = 3;
inline constexpr unsigned DFCS_INACTIVE = 0x100, DFCS_PUSHED = 0x200, DFCS_FLAT = 0x4000;
// A scroll-bar arrow button: face, edge (raised, or a one-pixel shadow frame when flat)
// and a black triangle (grey and embossed when inactive, one pixel down-right when pushed).
// Kinds other than DFC_SCROLL draw nothing.
bool DrawFrameControl(Surface& s, const RECT& r, unsigned kind, unsigned state);

}  // namespace lumen::platform::gdi
