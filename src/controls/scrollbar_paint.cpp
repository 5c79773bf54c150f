// Painting the scroll bar in its styles.
#include "controls/lumen_scrollbar.h"
#include "platform/gdi/gdi.h"

namespace lumen::controls {

namespace gdi = platform::gdi;

void LumenScrollBar::PaintBar(gdi::Surface& s) {
  switch (style_) {
    case StyleClassic:
    case StyleThemed: PaintClassic(s); break;  // no visual styles here: themed looks classic
    case StyleFlat: PaintFlat(s); break;
    case StyleCustom: PaintCustom(s); break;
    default: break;  // a style outside 0..3, from a stored property, paints nothing
  }
}

void LumenScrollBar::PaintClassic(gdi::Surface& s) {
  const unsigned h = orientation_ == 1 ? 1 : 0;
  const Layout& l = layout_;
  const gdi::Brush face = gdi::SolidBrush(gdi::GetSysColor(gdi::COLOR_BTNFACE));
  if (enabled_) {
    gdi::DrawFrameControl(s, l.upArrow, gdi::DFC_SCROLL, (upPressed_ ? 0x4200 : 0) + 2 * h);
    gdi::DrawFrameControl(s, l.downArrow, gdi::DFC_SCROLL, (downPressed_ ? 0x4200 : 0) + 2 * h + 1);
    if (l.trackVisible) {
      const gdi::Brush black = gdi::SolidBrush(0x000000);
      gdi::FillRect(s, l.trackBefore, trackBeforePressed_ ? black : trackBrush_);
      gdi::FillRect(s, l.trackAfter, trackAfterPressed_ ? black : trackBrush_);
      gdi::FillRect(s, l.thumb, face);
      gdi::DrawEdge(s, l.thumb, gdi::EDGE_RAISED, gdi::BF_RECT);
    }
  } else {
    gdi::DrawFrameControl(s, l.upArrow, gdi::DFC_SCROLL, 0x100 + 2 * h);
    gdi::DrawFrameControl(s, l.downArrow, gdi::DFC_SCROLL, 0x100 + 2 * h + 1);
    if (l.trackVisible) {
      gdi::FillRect(s, l.trackBefore, trackBrush_);
      gdi::FillRect(s, l.trackAfter, trackBrush_);
      gdi::FillRect(s, l.thumb, face);  // a plain face for the disabled thumb
    }
  }
  if (l.gapVisible) gdi::FillRect(s, l.gap, trackBrush_);
}

void LumenScrollBar::DrawFlatArrow(gdi::Surface& s, const RECT& r, unsigned state, int mode) {
  if (r.Empty()) return;
  gdi::Surface colour(r.Width(), r.Height());
  gdi::DrawFrameControl(colour, {0, 0, r.Width(), r.Height()}, gdi::DFC_SCROLL, state + gdi::DFCS_FLAT);
  if (mode == 1) gdi::InvertRect(colour, {0, 0, r.Width(), r.Height()});
  if (mode == 2) {
    // Glyph pixels (the button-text colour) become the highlight colour, all others shadow.
    const uint32_t glyph = gdi::PixelFromColorRef(gdi::GetSysColor(gdi::COLOR_BTNTEXT));
    const gdi::COLORREF highlight = gdi::GetSysColor(gdi::COLOR_BTNHIGHLIGHT);
    const gdi::COLORREF shadow = gdi::GetSysColor(gdi::COLOR_BTNSHADOW);
    for (int y = 0; y < colour.Height(); ++y) {
      for (int x = 0; x < colour.Width(); ++x) colour.SetPixel(x, y, colour.Row(y)[x] == glyph ? highlight : shadow);
    }
  }
  gdi::BitBlt(s, r.left, r.top, r.Width(), r.Height(), colour, 0, 0);
}

void LumenScrollBar::PaintFlat(gdi::Surface& s) {
  const unsigned h = orientation_ == 1 ? 1 : 0;
  const Layout& l = layout_;
  const gdi::Brush face = gdi::SolidBrush(gdi::GetSysColor(gdi::COLOR_BTNFACE));
  if (enabled_) {
    DrawFlatArrow(s, l.upArrow, 2 * h, upHot_ ? 2 : upPressed_ ? 1 : 0);
    DrawFlatArrow(s, l.downArrow, 2 * h + 1, downHot_ ? 2 : downPressed_ ? 1 : 0);
    if (l.trackVisible) {
      const gdi::Brush black = gdi::SolidBrush(0x000000);
      gdi::FillRect(s, l.trackBefore, trackBeforePressed_ ? black : trackBrush_);
      gdi::FillRect(s, l.trackAfter, trackAfterPressed_ ? black : trackBrush_);
      // Hot or pressed: the shadow colour; otherwise a plain face.
      gdi::FillRect(s, l.thumb,
                    thumbHot_ || thumbPressed_ ? gdi::SolidBrush(gdi::GetSysColor(gdi::COLOR_BTNSHADOW)) : face);
    }
  } else {
    gdi::DrawFrameControl(s, l.upArrow, gdi::DFC_SCROLL, 0x100 + 2 * h + gdi::DFCS_FLAT);
    gdi::DrawFrameControl(s, l.downArrow, gdi::DFC_SCROLL, 0x100 + 2 * h + 1 + gdi::DFCS_FLAT);
    if (l.trackVisible) {
      gdi::FillRect(s, l.trackBefore, trackBrush_);
      gdi::FillRect(s, l.trackAfter, trackBrush_);
      gdi::FillRect(s, l.thumb, face);
    }
  }
  if (l.gapVisible) gdi::FillRect(s, l.gap, trackBrush_);
}

void LumenScrollBar::PaintCustom(gdi::Surface& s) {
  if (!OnPaint) return;
  const Layout& l = layout_;
  auto raise = [&](const RECT& r, int part, int state) { OnPaint(s, r.left, r.top, r.right, r.bottom, part, state); };
  raise(l.upArrow, 0, upHot_ ? 2 : upPressed_ ? 1 : 0);
  raise(l.downArrow, 1, downHot_ ? 2 : downPressed_ ? 1 : 0);
  if (l.trackVisible) {
    raise(l.trackBefore, 2, trackBeforePressed_ ? 1 : 0);
    raise(l.trackAfter, 3, trackAfterPressed_ ? 1 : 0);
    raise(l.thumb, 5, thumbHot_ ? 2 : thumbPressed_ ? 1 : 0);
  }
  if (l.gapVisible) raise(l.gap, 4, 0);
}

}  // namespace lumen::controls
