#include "controls/lumen_scrollbar.h"

#include <algorithm>
#include <cmath>

namespace lumen::controls {

namespace gdi = platform::gdi;
using platform::LParamX;
using platform::LParamY;

LumenScrollBar::LumenScrollBar(ScrollBarHost& host)
    : host_(host),
      window_([this](HWND, UINT m, WPARAM w, LPARAM l) { return DefaultProc(m, w, l); }),
      // The device context's own text and background colours, which the control never sets.
      trackBrush_(gdi::CheckerBrush(0x000000, 0xFFFFFF)) {
  FullLayout();
}

LumenScrollBar::~LumenScrollBar() {
  hooks_.UnsubclassAll();
  host_.KillTimer(TimerHover);
  host_.KillTimer(TimerDelay);
  host_.KillTimer(TimerRepeat);
}

// The window's own handling, before the hook's after phase: the mouse events.
LRESULT LumenScrollBar::DefaultProc(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  const float x = static_cast<float>(LParamX(lParam)), y = static_cast<float>(LParamY(lParam));
  const int shift = ((wParam & platform::MK_SHIFT) ? 1 : 0) | ((wParam & platform::MK_CONTROL) ? 2 : 0);
  if (uMsg == platform::WM_LBUTTONDOWN && MouseDown) MouseDown(1, shift, x, y);
  if (uMsg == platform::WM_LBUTTONUP && MouseUp) MouseUp(1, shift, x, y);
  return 0;
}

// --- Properties ---------------------------------------------------------------------------

void LumenScrollBar::SetEnabled(bool on) {
  enabled_ = on;
  host_.SetWindowEnabled(on);
  Refresh();
}

void LumenScrollBar::SetMin(int32_t v) {
  min_ = std::min(v, max_);
  range_ = int64_t{max_} - min_;
  if (value_ < min_) value_ = min_;
  RecomputeThumb();
}

void LumenScrollBar::SetMax(int32_t v) {
  max_ = std::max(v, min_);
  range_ = int64_t{max_} - min_;
  if (value_ > max_) value_ = max_;
  RecomputeThumb();
}

void LumenScrollBar::SetValue(int32_t v) {
  v = std::clamp(v, min_, std::max(min_, max_));
  const bool changed = v != value_;
  value_ = v;
  RecomputeThumb();
  if (changed && Change) Change();
}

void LumenScrollBar::SetSmallChange(int32_t v) {
  smallChange_ = std::max(v, 1);
  RecomputeThumb();
}

void LumenScrollBar::SetLargeChange(int32_t v) {
  largeChange_ = std::max(v, 1);
  RecomputeThumb();
}

void LumenScrollBar::SetChangeDelay(int32_t v) { changeDelay_ = std::max(v, 0); }
void LumenScrollBar::SetChangeFrequency(int32_t v) { changeFrequency_ = std::max(v, 25); }

void LumenScrollBar::SetOrientation(int32_t v) {
  orientation_ = std::clamp(v, 0, 1);
  FullLayout();
  Refresh();
}

void LumenScrollBar::SetStyle(int32_t v) {
  style_ = std::clamp(v, 0, 3);
  Refresh();
}

void LumenScrollBar::SetShowButtons(bool on) {
  showButtons_ = on;
  FullLayout();
  Refresh();
}

void LumenScrollBar::ReadProperties(bool runTime) {
  range_ = int64_t{max_} - min_;
  host_.SetWindowEnabled(enabled_);
  FullLayout();
  if (runTime && !hooked_) {
    hooked_ = true;
    hooks_.SubclassWindow(&window_);
    hooks_.AddMessage(&window_, platform::WM_PAINT, PhaseBefore);
    hooks_.AddMessage(&window_, platform::WM_SIZE, PhaseBefore);
    for (UINT message : {platform::WM_CANCELMODE, platform::WM_MOUSEMOVE, platform::WM_LBUTTONDOWN,
                         platform::WM_LBUTTONUP, platform::WM_LBUTTONDBLCLK, platform::WM_TIMER,
                         platform::WM_SYSCOLORCHANGE}) {
      hooks_.AddMessage(&window_, message, PhaseAfter);
    }
    // No WM_THEMECHANGED: Linux has no visual-styles service to send one.
  }
  Refresh();
}

// --- Geometry ------------------------------------------------------------------------------

void LumenScrollBar::LayoutBar() {
  const int W = host_.ClientWidth(), H = host_.ClientHeight();
  const bool horizontal = orientation_ == 1;
  const int length = horizontal ? W : H;
  const int a = showButtons_ ? gdi::GetSystemMetrics(horizontal ? gdi::SM_CXHSCROLL : gdi::SM_CYVSCROLL) : 0;
  // Along-axis spans, turned into rectangles below.
  auto rect = [&](int from, int to) { return horizontal ? RECT{from, 0, to, H} : RECT{0, from, W, to}; };
  Layout& l = layout_;
  l.trackVisible = l.gapVisible = false;
  if (length >= 2 * a + 8) {
    l.trackVisible = true;
    l.upArrow = rect(0, a);
    l.downArrow = rect(length - a, length);
  } else if (2 * a < length) {
    l.upArrow = rect(0, a);
    l.downArrow = rect(length - a, length);
    l.gapVisible = true;
    l.gap = rect(a, length - a);
  } else {
    l.upArrow = rect(0, length / 2);
    l.downArrow = rect(length / 2 + length % 2, length);
    if (length % 2 == 1) {
      l.gapVisible = true;
      l.gap = rect(length / 2, length / 2 + 1);
    }
  }
  l.dragRect = horizontal ? RECT{-25, -250, W + 25, H + 250} : RECT{-250, -25, W + 250, H + 25};
  if (!l.trackVisible) l.trackBefore = l.trackAfter = l.thumb = RECT{};
}

int LumenScrollBar::Start() const {
  return orientation_ == 1 ? layout_.upArrow.right : layout_.upArrow.bottom;
}

int LumenScrollBar::End() const { return orientation_ == 1 ? layout_.downArrow.left : layout_.downArrow.top; }

int LumenScrollBar::CalcThumbSize() const {
  const int64_t trackLength = End() - Start();
  if (largeChange_ == 0) return 8;  // the division fails
  const int64_t divisor = range_ / largeChange_ + 1;
  if (divisor == 0) return 8;
  return static_cast<int>(std::max<int64_t>(trackLength / divisor, 8));
}

int LumenScrollBar::ValueToPos() const {
  if (range_ == 0) return Start();
  const double span = End() - Start() - layout_.thumbSize;
  return static_cast<int>(std::nearbyint(Start() + span / static_cast<double>(range_) * (double(value_) - min_)));
}

int32_t LumenScrollBar::PosToValue() const {
  const double span = End() - Start() - layout_.thumbSize;
  if (span == 0) return 0;
  const double v = min_ + (layout_.thumbPos - Start()) / span * static_cast<double>(range_);
  if (!std::isfinite(v) || v < INT32_MIN || v > INT32_MAX) return 0;
  return static_cast<int32_t>(std::nearbyint(v));
}

void LumenScrollBar::LayoutThumb() {
  if (!layout_.trackVisible) return;
  Layout& l = layout_;
  const int start = Start(), end = End(), pos = l.thumbPos, size = l.thumbSize;
  if (orientation_ == 1) {
    l.trackBefore = {start, 0, pos, l.upArrow.bottom};
    l.trackAfter = {pos + size, 0, end, l.downArrow.bottom};
    l.thumb = {pos, 0, pos + size, l.downArrow.bottom};
  } else {
    l.trackBefore = {0, start, l.upArrow.right, pos};
    l.trackAfter = {0, pos + size, l.downArrow.right, end};
    l.thumb = {0, pos, l.downArrow.right, pos + size};
  }
}

void LumenScrollBar::FullLayout() {
  LayoutBar();
  layout_.thumbSize = CalcThumbSize();
  layout_.thumbPos = ValueToPos();
  LayoutThumb();
}

void LumenScrollBar::RecomputeThumb() {
  FullLayout();
  Refresh();
}

int LumenScrollBar::HitTest(int x, int y) const {
  const Layout& l = layout_;
  if (l.upArrow.Contains(x, y)) return PartUpArrow;
  if (l.downArrow.Contains(x, y)) return PartDownArrow;
  if (l.trackBefore.Contains(x, y)) return PartTrackBefore;
  if (l.trackAfter.Contains(x, y)) return PartTrackAfter;
  if (l.thumb.Contains(x, y)) return PartThumb;
  return PartNone;
}

bool LumenScrollBar::MoveValueTo(int64_t target, bool forceRepaint) {
  const auto next = static_cast<int32_t>(std::clamp<int64_t>(target, min_, std::max(min_, max_)));
  if (next == value_) {
    if (forceRepaint) Refresh();
    return false;
  }
  value_ = next;
  layout_.thumbPos = ValueToPos();
  LayoutThumb();
  Refresh();
  if (Change) Change();
  return true;
}

bool LumenScrollBar::DecreaseValue(int32_t step, bool forceRepaint) {
  return MoveValueTo(int64_t{value_} - step, forceRepaint);
}

bool LumenScrollBar::IncreaseValue(int32_t step, bool forceRepaint) {
  return MoveValueTo(int64_t{value_} + step, forceRepaint);
}

// --- Input ----------------------------------------------------------------------------------

void LumenScrollBar::OnButtonDown(WPARAM wParam, LPARAM lParam) {
  if (wParam == 0) return;
  mouseX_ = LParamX(lParam);
  mouseY_ = LParamY(lParam);
  pressedPart_ = HitTest(mouseX_, mouseY_);
  switch (pressedPart_) {
    case PartUpArrow:
      upPressed_ = true;
      upHot_ = false;
      DecreaseValue(smallChange_, true);
      break;
    case PartDownArrow:
      downPressed_ = true;
      downHot_ = false;
      IncreaseValue(smallChange_, true);
      break;
    case PartTrackBefore:
      trackBeforePressed_ = true;
      DecreaseValue(largeChange_, false);
      break;
    case PartTrackAfter:
      trackAfterPressed_ = true;
      IncreaseValue(largeChange_, false);
      break;
    case PartThumb:
      dragOffset_ = orientation_ == 1 ? layout_.thumb.left - mouseX_ : layout_.thumb.top - mouseY_;
      dragStartValue_ = value_;
      thumbPressed_ = true;
      thumbHot_ = false;
      Refresh();
      return;
    default: return;
  }
  host_.KillTimer(TimerDelay);
  host_.SetTimer(TimerDelay, changeDelay_);
}

void LumenScrollBar::OnTimer(int id) {
  if (id == TimerDelay) {
    host_.KillTimer(TimerDelay);
    host_.SetTimer(TimerRepeat, changeFrequency_);
  } else if (id == TimerRepeat) {
    const int along = Along(mouseX_, mouseY_);
    switch (pressedPart_) {
      case PartUpArrow:
        if (layout_.upArrow.Contains(mouseX_, mouseY_) && !DecreaseValue(smallChange_, false)) {
          host_.KillTimer(TimerRepeat);
        }
        break;
      case PartDownArrow:
        if (layout_.downArrow.Contains(mouseX_, mouseY_) && !IncreaseValue(smallChange_, false)) {
          host_.KillTimer(TimerRepeat);
        }
        break;
      case PartTrackBefore:
        trackBeforePressed_ = along < layout_.thumbPos;
        if (trackBeforePressed_) {
          DecreaseValue(largeChange_, false);
        } else {
          Refresh();
        }
        break;
      case PartTrackAfter:
        trackAfterPressed_ = layout_.thumbPos + layout_.thumbSize < along;
        if (trackAfterPressed_) {
          IncreaseValue(largeChange_, false);
        } else {
          Refresh();
        }
        break;
      default: break;
    }
  } else if (id == TimerHover) {
    int x = 0, y = 0;
    host_.CursorPosInClient(x, y);
    bool* flag = nullptr;
    if (upHot_ && !layout_.upArrow.Contains(x, y)) {
      flag = &upHot_;
    } else if (downHot_ && !layout_.downArrow.Contains(x, y)) {
      flag = &downHot_;
    } else if (thumbHot_ && !layout_.thumb.Contains(x, y)) {
      flag = &thumbHot_;
    }
    if (flag != nullptr) {
      *flag = false;
      host_.KillTimer(TimerHover);
      Refresh();
    }
  }
}

void LumenScrollBar::OnMouseMove(WPARAM wParam, LPARAM lParam) {
  mouseX_ = LParamX(lParam);
  mouseY_ = LParamY(lParam);
  if ((wParam & (platform::MK_LBUTTON | platform::MK_RBUTTON | platform::MK_MBUTTON)) == 0) {
    bool* hot[] = {nullptr, &upHot_, &downHot_, nullptr, nullptr, &thumbHot_};
    const int part = HitTest(mouseX_, mouseY_);
    if (hot[part] == nullptr || *hot[part]) return;
    upHot_ = downHot_ = thumbHot_ = false;
    *hot[part] = true;
    Refresh();
    host_.KillTimer(TimerHover);
    host_.SetTimer(TimerHover, 25);
    return;
  }
  if (pressedPart_ == PartUpArrow || pressedPart_ == PartDownArrow) {
    bool& pressed = pressedPart_ == PartUpArrow ? upPressed_ : downPressed_;
    const RECT& arrow = pressedPart_ == PartUpArrow ? layout_.upArrow : layout_.downArrow;
    const bool inside = arrow.Contains(mouseX_, mouseY_);
    if (inside != pressed) {
      pressed = inside;
      Refresh();
    }
  } else if (pressedPart_ == PartThumb) {
    const int32_t oldValue = value_;
    const int oldPos = layout_.thumbPos;
    if (layout_.dragRect.Contains(mouseX_, mouseY_)) {
      int pos = std::max(dragOffset_ + Along(mouseX_, mouseY_), Start());
      if (pos + layout_.thumbSize > End()) pos = End() - layout_.thumbSize;
      layout_.thumbPos = pos;
      value_ = PosToValue();
    } else {  // too far away: back to where the drag started
      value_ = dragStartValue_;
      layout_.thumbPos = ValueToPos();
    }
    if (layout_.thumbPos == oldPos) return;
    LayoutThumb();
    Refresh();
    if (value_ != oldValue && Scroll) Scroll();
  }
}

void LumenScrollBar::OnButtonUp() {
  host_.KillTimer(TimerHover);
  host_.KillTimer(TimerDelay);
  host_.KillTimer(TimerRepeat);
  if (pressedPart_ == PartThumb && value_ != dragStartValue_ && Change) Change();
  pressedPart_ = PartNone;
  upPressed_ = downPressed_ = trackBeforePressed_ = trackAfterPressed_ = thumbPressed_ = false;
  layout_.thumbPos = ValueToPos();
  LayoutThumb();
  Refresh();
}

void LumenScrollBar::SubclassProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND& hwnd, UINT& uMsg,
                                  WPARAM& wParam, LPARAM& lParam) {
  if (hwnd != &window_) return;
  if (bBefore) {
    if (uMsg == platform::WM_SIZE) {
      FullLayout();
      Refresh();
    } else if (uMsg == platform::WM_PAINT) {
      if (canvas_.Width() != host_.ClientWidth() || canvas_.Height() != host_.ClientHeight()) {
        canvas_.Resize(host_.ClientWidth(), host_.ClientHeight());
      }
      PaintBar(canvas_);
    } else {
      return;
    }
    bHandled = true;
    lReturn = 0;
    return;
  }
  switch (uMsg) {
    case platform::WM_CANCELMODE:
    case platform::WM_LBUTTONUP: OnButtonUp(); break;
    case platform::WM_MOUSEMOVE: OnMouseMove(wParam, lParam); break;
    case platform::WM_LBUTTONDOWN: OnButtonDown(wParam, lParam); break;
    case platform::WM_LBUTTONDBLCLK: host_.InjectLeftButtonDown(); break;
    case platform::WM_TIMER: OnTimer(static_cast<int>(wParam)); break;
    case platform::WM_SYSCOLORCHANGE: Refresh(); break;
    default: break;
  }
}

}  // namespace lumen::controls
