#include "controls/lumen_scrollbar.h"

#include <gtest/gtest.h>
#include <functional>
#include <map>

#include "support/value_printers.h"

namespace lumen::controls {
namespace {

using platform::MakeLParam;

class FakeScrollHost : public ScrollBarHost {
 public:
  int ClientWidth() override { return width; }
  int ClientHeight() override { return height; }
  void Invalidate() override { ++invalidations; }
  void SetTimer(int id, int ms) override { timers[id] = ms; }
  void KillTimer(int id) override { timers.erase(id); }
  void CursorPosInClient(int& x, int& y) override { x = cursorX, y = cursorY; }
  void InjectLeftButtonDown() override { ++injected; }
  void SetWindowEnabled(bool) override {}
  int width = 17, height = 134, invalidations = 0, cursorX = 0, cursorY = 0, injected = 0;
  std::map<int, int> timers;
};

class ScrollTest : public ::testing::Test {
 protected:
  void Open(int width, int height, const std::function<void(LumenScrollBar&)>& setUp = {}) {
    host.width = width;
    host.height = height;
    bar = std::make_unique<LumenScrollBar>(host);
    if (setUp) setUp(*bar);
    bar->ReadProperties();
    bar->Change = [this] { ++changes; };
    bar->Scroll = [this] { ++scrolls; };
  }
  LRESULT Send(UINT message, WPARAM w = 0, int x = 0, int y = 0) {
    return bar->hWnd()->SendMessage(message, w, MakeLParam(x, y));
  }
  FakeScrollHost host;
  std::unique_ptr<LumenScrollBar> bar;
  int changes = 0, scrolls = 0;
};

TEST_F(ScrollTest, LayoutAndThumbEdgeCases) {
  Open(17, 134);  // a 100-pixel track, range 100, LargeChange 10
  auto& g = bar->Geometry();
  EXPECT_TRUE(g.trackVisible);
  EXPECT_EQ(g.upArrow, (RECT{0, 0, 17, 17}));
  EXPECT_EQ(g.downArrow, (RECT{0, 117, 17, 134}));
  EXPECT_EQ(g.thumbSize, 9) << "100 \\ (100 \\ 10 + 1) = 9";
  EXPECT_EQ(g.thumb, (RECT{0, 17, 17, 26}));
  EXPECT_EQ(g.dragRect, (RECT{-250, -25, 267, 159}));

  Open(17, 134, [](LumenScrollBar& b) {
    b.SetMin(5);
    b.SetMax(5);
  });
  EXPECT_EQ(bar->Geometry().thumbSize, 100) << "range 0: the thumb fills the track";
  EXPECT_EQ(bar->Geometry().thumbPos, 17);

  Open(17, 40);  // below 2a + 8: no track, a gap between the arrows
  EXPECT_FALSE(bar->Geometry().trackVisible);
  EXPECT_TRUE(bar->Geometry().gapVisible);
  EXPECT_EQ(bar->Geometry().gap, (RECT{0, 17, 17, 23}));
  EXPECT_TRUE(bar->Geometry().thumb.Empty());
  Open(17, 33);  // odd and too short for both arrows: they share it around one gap row
  EXPECT_EQ(bar->Geometry().upArrow, (RECT{0, 0, 17, 16}));
  EXPECT_EQ(bar->Geometry().downArrow, (RECT{0, 17, 17, 33}));
  EXPECT_EQ(bar->Geometry().gap, (RECT{0, 16, 17, 17}));
  Open(17, 20);
  EXPECT_FALSE(bar->Geometry().gapVisible);
  EXPECT_EQ(bar->Geometry().downArrow, (RECT{0, 10, 17, 20}));

  Open(81, 17, [](LumenScrollBar& b) {  // the main window's speed bar: 50 to 100, at 100
    b.SetOrientation(1);
    b.SetMin(50);
    b.SetValue(100);
  });
  EXPECT_EQ(bar->Geometry().thumbSize, 8) << "47 \\ 6 = 7, at least 8";
  EXPECT_EQ(bar->Geometry().thumb, (RECT{56, 0, 64, 17})) << "17 + 39 / 50 * 50";
  EXPECT_EQ(bar->Geometry().dragRect, (RECT{-25, -250, 106, 267}));
}

TEST_F(ScrollTest, ArrowPressRepeatsAfterTheDelayAndStopsAtTheEnd) {
  Open(17, 134);
  Send(platform::WM_LBUTTONDOWN, platform::MK_LBUTTON, 8, 125);  // the down arrow
  EXPECT_EQ(bar->Value(), 1);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(host.timers, (std::map<int, int>{{TimerDelay, 500}}));
  Send(platform::WM_TIMER, TimerDelay);
  EXPECT_EQ(host.timers, (std::map<int, int>{{TimerRepeat, 50}}));
  Send(platform::WM_TIMER, TimerRepeat);
  Send(platform::WM_TIMER, TimerRepeat);
  EXPECT_EQ(bar->Value(), 3);
  Send(platform::WM_MOUSEMOVE, platform::MK_LBUTTON, 8, 60);  // off the arrow: the repeat pauses
  Send(platform::WM_TIMER, TimerRepeat);
  EXPECT_EQ(bar->Value(), 3);
  Send(platform::WM_LBUTTONUP, 0, 8, 60);
  EXPECT_TRUE(host.timers.empty());

  bar->SetValue(100);
  changes = 0;
  Send(platform::WM_LBUTTONDOWN, platform::MK_LBUTTON, 8, 125);
  Send(platform::WM_TIMER, TimerDelay);
  Send(platform::WM_TIMER, TimerRepeat);
  EXPECT_EQ(changes, 0) << "held at Max: no Change";
  EXPECT_EQ(host.timers.count(TimerRepeat), 0u) << "the repeat stops at its first tick";
  Send(platform::WM_LBUTTONUP);
}

TEST_F(ScrollTest, TrackPressesStepByLargeChangeUntilTheThumbIsReached) {
  Open(17, 134);
  bar->SetValue(50);
  const int thumbTop = bar->Geometry().thumb.top;
  Send(platform::WM_LBUTTONDOWN, platform::MK_LBUTTON, 8, thumbTop - 20);
  EXPECT_EQ(bar->Value(), 40);
  Send(platform::WM_TIMER, TimerDelay);
  Send(platform::WM_TIMER, TimerRepeat);
  EXPECT_EQ(bar->Value(), 30);
  for (int i = 0; i < 5; ++i) Send(platform::WM_TIMER, TimerRepeat);
  EXPECT_GT(bar->Geometry().thumbPos + bar->Geometry().thumbSize, thumbTop - 20) << "stops under the mouse";
  Send(platform::WM_CANCELMODE);
  EXPECT_EQ(bar->PressedPart(), PartNone);
}

TEST_F(ScrollTest, DragScrollsSnapsBackFarAwayAndReleasingThereChangesNothing) {
  Open(17, 134);
  Send(platform::WM_LBUTTONDOWN, platform::MK_LBUTTON, 8, 20);  // on the thumb (17..26)
  ASSERT_EQ(bar->PressedPart(), PartThumb);
  Send(platform::WM_MOUSEMOVE, platform::MK_LBUTTON, 8, 60);
  EXPECT_EQ(bar->Geometry().thumbPos, 57);
  EXPECT_EQ(bar->Value(), 44) << "17 + (57 - 17) / 91 * 100, rounded";
  EXPECT_EQ(scrolls, 1);
  Send(platform::WM_MOUSEMOVE, platform::MK_LBUTTON, -300, 60);  // beyond DragRect sideways
  EXPECT_EQ(bar->Value(), 0);
  EXPECT_EQ(bar->Geometry().thumbPos, 17);
  Send(platform::WM_MOUSEMOVE, platform::MK_LBUTTON, 8, 300);  // far below the end
  EXPECT_EQ(bar->Value(), 0);
  Send(platform::WM_LBUTTONUP, 0, 8, 300);
  EXPECT_EQ(changes, 0);

  Send(platform::WM_LBUTTONDOWN, platform::MK_LBUTTON, 8, 20);
  Send(platform::WM_MOUSEMOVE, platform::MK_LBUTTON, 200, 150);  // 192 px aside, still inside: the end
  EXPECT_EQ(bar->Value(), 100);
  Send(platform::WM_LBUTTONUP, 0, 200, 150);
  EXPECT_EQ(changes, 1) << "a drag that ends on a new value";
}

TEST_F(ScrollTest, MinMaxAndHover) {
  Open(17, 134);
  bar->SetValue(20);
  changes = 0;
  bar->SetMin(30);
  EXPECT_EQ(bar->Value(), 30);
  EXPECT_EQ(changes, 0) << "Min moves Value without Change";
  bar->SetMax(10);
  EXPECT_EQ(bar->Max(), 30) << "Max below Min becomes Min";

  Send(platform::WM_MOUSEMOVE, 0, 8, 5);  // hovering the up arrow
  EXPECT_EQ(host.timers, (std::map<int, int>{{TimerHover, 25}}));
  host.cursorX = 8, host.cursorY = 60;
  Send(platform::WM_TIMER, TimerHover);
  EXPECT_TRUE(host.timers.empty());
  Send(platform::WM_LBUTTONDBLCLK, platform::MK_LBUTTON, 8, 5);
  EXPECT_EQ(host.injected, 1);
}

TEST_F(ScrollTest, ClassicPaint) {
  Open(17, 134);
  bar->SetValue(50);
  Send(platform::WM_PAINT);
  const auto& canvas = bar->Canvas();
  const RECT track = bar->Geometry().trackBefore;
  // The one-pixel checkerboard in the device context's own colours: black and white.
  EXPECT_NE(canvas.GetPixel(track.left + 4, track.top + 4), canvas.GetPixel(track.left + 5, track.top + 4));
  EXPECT_EQ(canvas.GetPixel(0, 0) == 0xFFFFFFu || canvas.GetPixel(0, 0) == 0xC8D0D4u, true);
  const RECT thumb = bar->Geometry().thumb;
  EXPECT_EQ(canvas.GetPixel(thumb.left + 5, thumb.top + 4), 0xC8D0D4u) << "button face";
  EXPECT_EQ(canvas.GetPixel(thumb.right - 1, thumb.bottom - 1), 0x404040u) << "raised edge, dark shadow";
  Send(platform::WM_LBUTTONDOWN, platform::MK_LBUTTON, 8, track.top + 2);
  Send(platform::WM_PAINT);
  EXPECT_EQ(canvas.GetPixel(8, bar->Geometry().trackBefore.top + 1), 0x000000u) << "black while pressed";
  Send(platform::WM_LBUTTONUP);
}

}  // namespace
}  // namespace lumen::controls
