// LumenScrollBar: a scroll bar that lays out and paints its arrows, track and proportional
// thumb itself, in the classic, flat, themed (drawn classic here: Linux has no visual-styles
// service) or host-painted style, and handles presses with a first delay and auto-repeat,
// thumb drags with snap-back, and hover. Painting and input arrive as window messages.
#pragma once

#include <functional>

#include "controls/subclass.h"
#include "platform/gdi/drawing.h"

namespace lumen::controls {

using platform::gdi::RECT;

enum ScrollStyle { StyleClassic = 0, StyleFlat = 1, StyleThemed = 2, StyleCustom = 3 };
enum ScrollPart { PartNone = 0, PartUpArrow = 1, PartDownArrow = 2, PartTrackBefore = 3, PartTrackAfter = 4, PartThumb = 5 };
inline constexpr int TimerDelay = 1, TimerRepeat = 2, TimerHover = 3;

class ScrollBarHost {
 public:
  virtual ~ScrollBarHost() = default;
  virtual int ClientWidth() = 0;
  virtual int ClientHeight() = 0;
  virtual void Invalidate() = 0;  // a WM_PAINT follows (without erasing)
  virtual void SetTimer(int id, int milliseconds) = 0;
  virtual void KillTimer(int id) = 0;
  virtual void CursorPosInClient(int& x, int& y) = 0;
  virtual void InjectLeftButtonDown() = 0;  // mouse_event(MOUSEEVENTF_LEFTDOWN)
  virtual void SetWindowEnabled(bool enabled) = 0;
};

class LumenScrollBar : public SubclassTarget {
 public:
  explicit LumenScrollBar(ScrollBarHost& host);
  ~LumenScrollBar() override;

  // Events.
  std::function<void()> Change;
  std::function<void()> Scroll;
  std::function<void()> ThemeChanged;
  std::function<void(int button, int shift, float x, float y)> MouseDown;
  std::function<void(int button, int shift, float x, float y)> MouseUp;
  // StyleCustom: once per element; `surface` stands for the device context.
  std::function<void(platform::gdi::Surface& surface, int x1, int y1, int x2, int y2, int part, int state)> OnPaint;

  HWND hWnd() { return &window_; }

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  int32_t Min() const { return min_; }
  void SetMin(int32_t v);
  int32_t Max() const { return max_; }
  void SetMax(int32_t v);
  int32_t Value() const { return value_; }
  void SetValue(int32_t v);
  int32_t SmallChange() const { return smallChange_; }
  void SetSmallChange(int32_t v);
  int32_t LargeChange() const { return largeChange_; }
  void SetLargeChange(int32_t v);
  int32_t ChangeDelay() const { return changeDelay_; }
  void SetChangeDelay(int32_t v);
  int32_t ChangeFrequency() const { return changeFrequency_; }
  void SetChangeFrequency(int32_t v);
  int32_t Orientation() const { return orientation_; }
  void SetOrientation(int32_t v);
  int32_t Style() const { return style_; }
  void SetStyle(int32_t v);
  bool ShowButtons() const { return showButtons_; }
  void SetShowButtons(bool on);

  // The host's ReadProperties: nothing is kept at design time, so the properties are what
  // the setters gave them. Lays out; at run time hooks the window.
  void ReadProperties(bool runTime = true);
  void Refresh() { host_.Invalidate(); }

  // The geometry, for painting and the tests (rectangles in client pixels).
  void LayoutBar();
  int CalcThumbSize() const;
  int ValueToPos() const;
  int32_t PosToValue() const;
  void LayoutThumb();
  int HitTest(int x, int y) const;
  bool DecreaseValue(int32_t step, bool forceRepaint);
  bool IncreaseValue(int32_t step, bool forceRepaint);
  void PaintBar(platform::gdi::Surface& surface);
  // What the last WM_PAINT painted: the window shows this.
  const platform::gdi::Surface& Canvas() const { return canvas_; }

  struct Layout {
    RECT upArrow, downArrow, gap, trackBefore, trackAfter, thumb, dragRect;
    bool trackVisible = false, gapVisible = false;
    int thumbPos = 0, thumbSize = 0;
  };
  const Layout& Geometry() const { return layout_; }
  int PressedPart() const { return pressedPart_; }

  void SubclassProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND& hwnd, UINT& uMsg, WPARAM& wParam,
                    LPARAM& lParam) override;

 private:
  LRESULT DefaultProc(UINT uMsg, WPARAM wParam, LPARAM lParam);
  // Value = target within Min..Max; when that changes it, the thumb follows and Change is raised.
  bool MoveValueTo(int64_t target, bool forceRepaint);
  void FullLayout();
  void RecomputeThumb();
  int Start() const;
  int End() const;
  int Along(int x, int y) const { return orientation_ == 1 ? x : y; }
  void OnButtonDown(WPARAM wParam, LPARAM lParam);
  void OnMouseMove(WPARAM wParam, LPARAM lParam);
  void OnButtonUp();
  void OnTimer(int id);
  void PaintClassic(platform::gdi::Surface& s);
  void PaintFlat(platform::gdi::Surface& s);
  void PaintCustom(platform::gdi::Surface& s);
  void DrawFlatArrow(platform::gdi::Surface& s, const RECT& r, unsigned state, int mode);

  ScrollBarHost& host_;
  platform::MessageWindow window_;
  Subclasser hooks_{*this};
  bool hooked_ = false;
  platform::gdi::Brush trackBrush_;
  platform::gdi::Surface canvas_;

  bool enabled_ = true;
  int32_t min_ = 0, max_ = 100, value_ = 0, smallChange_ = 1, largeChange_ = 10;
  int32_t changeDelay_ = 500, changeFrequency_ = 50, orientation_ = 0, style_ = StyleClassic;
  bool showButtons_ = true;
  int64_t range_ = 100;

  Layout layout_;
  bool upPressed_ = false, downPressed_ = false, trackBeforePressed_ = false, trackAfterPressed_ = false;
  bool thumbPressed_ = false, upHot_ = false, downHot_ = false, thumbHot_ = false;
  int pressedPart_ = PartNone;
  int mouseX_ = 0, mouseY_ = 0;
  int dragOffset_ = 0;
  int32_t dragStartValue_ = 0;
};

}  // namespace lumen::controls
