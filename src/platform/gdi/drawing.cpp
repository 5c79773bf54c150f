#include "platform/gdi/drawing.h"

#include <algorithm>

#include "platform/gdi/gdi.h"

namespace lumen::platform::gdi {

COLORREF GetSysColor(int index) {
  switch (index) {
    case COLOR_SCROLLBAR: return 0x00C8D0D4;
    case COLOR_BTNFACE: return 0x00C8D0D4;     // RGB 212, 208, 200
    case COLOR_BTNSHADOW: return 0x00808080;
    case COLOR_GRAYTEXT: return 0x00808080;
    case COLOR_BTNTEXT: return 0x00000000;
    case COLOR_BTNHIGHLIGHT: return 0x00FFFFFF;
    case COLOR_3DDKSHADOW: return 0x00404040;
    case COLOR_3DLIGHT: return 0x00C8D0D4;
    default: return 0x00000000;
  }
}

int GetSystemMetrics(int index) { return index == SM_CXHSCROLL || index == SM_CYVSCROLL ? 17 : 0; }

Brush SolidBrush(COLORREF colour) { return Brush{colour}; }

Brush CheckerBrush(COLORREF foreground, COLORREF background) {
  Brush b;
  b.pattern = true;
  for (int i = 0; i < 8; ++i) b.rows[i] = i % 2 == 0 ? 0xAA : 0x55;
  b.foreground = foreground;
  b.background = background;
  return b;
}

void FillRect(Surface& s, const RECT& r, const Brush& brush) {
  if (!brush.pattern) {
    PatBlt(s, r.left, r.top, r.Width(), r.Height(), brush.colour);
    return;
  }
  const uint32_t fore = PixelFromColorRef(brush.foreground), back = PixelFromColorRef(brush.background);
  for (int y = std::max(0, r.top); y < std::min(s.Height(), r.bottom); ++y) {
    for (int x = std::max(0, r.left); x < std::min(s.Width(), r.right); ++x) {
      bool one = (brush.rows[y & 7] >> (7 - (x & 7))) & 1;
      s.Row(y)[x] = one ? back : fore;
    }
  }
}

void InvertRect(Surface& s, const RECT& r) {
  for (int y = std::max(0, r.top); y < std::min(s.Height(), r.bottom); ++y) {
    for (int x = std::max(0, r.left); x < std::min(s.Width(), r.right); ++x) s.Row(y)[x] ^= 0x00FFFFFFu;
  }
}

void DrawLine(Surface& s, int x0, int y0, int x1, int y1, COLORREF colour) {
  if (y0 == y1) {
    if (x1 > x0) PatBlt(s, x0, y0, x1 - x0, 1, colour);
    if (x1 < x0) PatBlt(s, x1 + 1, y0, x0 - x1, 1, colour);
  } else if (x0 == x1) {
    if (y1 > y0) PatBlt(s, x0, y0, 1, y1 - y0, colour);
    if (y1 < y0) PatBlt(s, x0, y1 + 1, 1, y0 - y1, colour);
  }
}

void DrawFocusRect(Surface& s, const RECT& r) {
  auto flip = [&](int x, int y) {
    if (x >= 0 && y >= 0 && x < s.Width() && y < s.Height() && ((x - r.left + y - r.top) % 2 == 0)) {
      s.Row(y)[x] ^= 0x00FFFFFFu;
    }
  };
  for (int x = r.left; x < r.right; ++x) flip(x, r.top), flip(x, r.bottom - 1);
  for (int y = r.top + 1; y < r.bottom - 1; ++y) flip(r.left, y), flip(r.right - 1, y);
}

namespace {

// Top and left lines in one colour, bottom and right in another, inside the rectangle.
void Ring(Surface& s, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
  if (r.Empty()) return;
  PatBlt(s, r.left, r.top, r.Width() - 1, 1, topLeft);
  PatBlt(s, r.left, r.top, 1, r.Height() - 1, topLeft);
  PatBlt(s, r.left, r.bottom - 1, r.Width(), 1, bottomRight);
  PatBlt(s, r.right - 1, r.top, 1, r.Height(), bottomRight);
}

RECT Shrunk(RECT r, int by) { return {r.left + by, r.top + by, r.right - by, r.bottom - by}; }

// The arrow triangle: rows 1, 3, 5, 7 pixels wide, pointing up; turned for the others.
void Triangle(Surface& s, const RECT& r, unsigned direction, int shift, COLORREF colour) {
  const int cx = r.left + r.Width() / 2 + shift, cy = r.top + r.Height() / 2 + shift;
  for (int k = 0; k < 4; ++k) {
    for (int d = -k; d <= k; ++d) {
      int x = 0, y = 0;
      switch (direction) {
        case DFCS_SCROLLUP: x = cx + d, y = cy - 2 + k; break;
        case DFCS_SCROLLDOWN: x = cx + d, y = cy + 1 - k; break;
        case DFCS_SCROLLLEFT: x = cx - 2 + k, y = cy + d; break;
        default: x = cx + 1 - k, y = cy + d; break;
      }
      if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) s.SetPixel(x, y, colour);
    }
  }
}

}  // namespace

void DrawEdge(Surface& s, const RECT& r, unsigned edge, unsigned flags) {
  if (edge != EDGE_RAISED || (flags & BF_RECT) != BF_RECT) return;
  Ring(s, r, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW));
  Ring(s, Shrunk(r, 1), GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
}

bool DrawFrameControl(Surface& s, const RECT& r, unsigned kind, unsigned state) {
  if (kind != DFC_SCROLL || r.Empty()) return false;
  const unsigned direction = state & 0xF;
  const bool flat = state & DFCS_FLAT, pushed = state & DFCS_PUSHED, inactive = state & DFCS_INACTIVE;
  PatBlt(s, r.left, r.top, r.Width(), r.Height(), GetSysColor(COLOR_BTNFACE));
  if (flat) {
    Ring(s, r, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW));
  } else if (pushed) {
    Ring(s, r, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW));
  } else {
    DrawEdge(s, r, EDGE_RAISED, BF_RECT);
  }
  if (inactive) {
    Triangle(s, r, direction, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    Triangle(s, r, direction, 0, GetSysColor(COLOR_GRAYTEXT));
  } else {
    Triangle(s, r, direction, pushed ? 1 : 0, GetSysColor(COLOR_BTNTEXT));
  }
  return true;
}

}  // namespace lumen::platform::gdi
