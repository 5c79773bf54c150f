#include <algorithm>
#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "platform/gdi/stretch_map.h"

namespace lumen::platform::gdi {
namespace {

std::vector<int> Columns(int s, int d) { return StretchMap(s, d, StretchAxis::Columns); }
std::vector<int> Rows(int s, int d) { return StretchMap(s, d, StretchAxis::Rows); }
std::vector<int> Head(std::vector<int> v, size_t n) { return {v.begin(), v.begin() + std::min(n, v.size())}; }

// The source indexes a map leaves out (shrinking) or takes twice (enlarging).
std::vector<int> Dropped(const std::vector<int>& map, int s) {
  std::vector<int> dropped;
  for (int k = 0; k < s; ++k) {
    if (std::find(map.begin(), map.end(), k) == map.end()) dropped.push_back(k);
  }
  return dropped;
}
std::vector<int> Repeated(const std::vector<int>& map) {
  std::vector<int> repeated;
  for (size_t i = 1; i < map.size(); ++i) {
    if (map[i] == map[i - 1]) repeated.push_back(map[i]);
  }
  return repeated;
}

TEST(StretchMap, WorkedExamples) {
  EXPECT_EQ(Columns(4, 3), (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(Rows(4, 3), (std::vector<int>{0, 1, 3}));
  EXPECT_EQ(Columns(3, 4), (std::vector<int>{0, 1, 1, 2}));
  EXPECT_EQ(Rows(3, 4), (std::vector<int>{0, 1, 1, 2}));
  // (2i + 1)s exactly 2d: the "- 1" keeps the middle of 2 -> 3 on source 0.
  EXPECT_EQ(Columns(2, 3), (std::vector<int>{0, 0, 1}));
  EXPECT_EQ(Rows(2, 3), (std::vector<int>{0, 0, 1}));
  EXPECT_EQ(Columns(2, 1), std::vector<int>{0});
  EXPECT_EQ(Rows(2, 1), std::vector<int>{0});
  EXPECT_EQ(Columns(5, 5), (std::vector<int>{0, 1, 2, 3, 4}));

  std::vector<int> shrink = Columns(1024, 900);
  EXPECT_EQ(Head(shrink, 5), (std::vector<int>{0, 1, 2, 4, 5}));
  std::vector<int> dropped = Dropped(shrink, 1024);
  EXPECT_EQ(dropped.size(), 124u);
  EXPECT_EQ(Head(dropped, 5), (std::vector<int>{3, 11, 20, 28, 36}));

  std::vector<int> enlarge = Columns(640, 900);
  EXPECT_EQ(Head(enlarge, 10), (std::vector<int>{0, 1, 1, 2, 3, 3, 4, 5, 6, 6}));
  std::vector<int> repeated = Repeated(enlarge);
  EXPECT_EQ(repeated.size(), 260u);
  EXPECT_EQ(Head(repeated, 5), (std::vector<int>{1, 3, 6, 8, 11}));
}

TEST(StretchMap, StaysInsideTheSourceAndKeepsTheRightEnds) {
  for (int s = 1; s <= 40; ++s) {
    for (int d = 1; d <= 40; ++d) {
      SCOPED_TRACE(std::to_string(s) + " -> " + std::to_string(d));
      std::vector<int> columns = Columns(s, d), rows = Rows(s, d);
      EXPECT_TRUE(std::is_sorted(columns.begin(), columns.end()));
      EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));
      EXPECT_GE(columns.front(), 0);
      EXPECT_EQ(rows.front(), 0);
      EXPECT_LT(std::max(columns.back(), rows.back()), s);
      if (s > d && d > 1) {
        EXPECT_EQ(columns.back(), s - 1) << "shrinking keeps the last column of each group";
        EXPECT_TRUE(Repeated(columns).empty());
      }
    }
  }
}

// A source whose every pixel is different: 0xFF000000 | index.
Surface Numbered(int w, int h) {
  Surface s(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) s.Row(y)[x] = 0xFF000000u | static_cast<uint32_t>(y * w + x);
  }
  return s;
}

TEST(StretchBlt, ClippingLeavesPixelsOutButNeverMovesThem) {
  const Surface source = Numbered(37, 23);
  constexpr COLORREF kUntouched = 0x123456;
  struct Case {
    int x, y, w, h, sx, sy, sw, sh;
  };
  const Case cases[] = {{0, -38, 90, 67, 0, 0, 37, 23}, {-5, 3, 20, 30, 2, 1, 30, 20},
                        {10, 10, 60, 60, 0, 0, 37, 23}, {0, 0, 13, 9, 0, 0, 37, 23},
                        {4, -2, 1, 50, 36, 0, 1, 23},   {-3, -3, 11, 11, 30, 18, 10, 10}};  // last: source partly outside
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.x << "," << c.y << " " << c.w << "x" << c.h);
    // Unclipped reference: the same copy into a surface large enough for all of it.
    Surface big(200, 200, kUntouched);
    StretchBlt(big, 100 + c.x, 100 + c.y, c.w, c.h, source, c.sx, c.sy, c.sw, c.sh);
    Surface small(40, 30, kUntouched);
    StretchBlt(small, c.x, c.y, c.w, c.h, source, c.sx, c.sy, c.sw, c.sh);
    for (int y = 0; y < small.Height(); ++y) {
      for (int x = 0; x < small.Width(); ++x) {
        ASSERT_EQ(small.Row(y)[x], big.Row(100 + y)[100 + x]) << "pixel " << x << "," << y;
      }
    }
  }
}

TEST(StretchBlt, NeverReadsOutsideTheSource) {
  const Surface source = Numbered(4, 4);
  Surface destination(6, 1, 0x00FF00);
  // Columns 2..7 of a 4-wide source: the last two destination pixels keep their colour.
  EXPECT_TRUE(StretchBlt(destination, 0, 0, 6, 1, source, 2, 0, 6, 1));
  EXPECT_EQ(destination.Row(0)[1], source.Row(0)[3]);
  EXPECT_EQ(destination.GetPixel(2, 0), 0x00FF00u);
  EXPECT_EQ(destination.GetPixel(5, 0), 0x00FF00u);
  EXPECT_FALSE(StretchBlt(destination, 0, 0, 1, 1, source, 4, 0, 1, 1));  // only outside
  EXPECT_FALSE(StretchBlt(destination, 6, 0, 1, 1, source, 0, 0, 1, 1));  // off the destination
}

TEST(Surface, ColoursCrossAsColorRef) {
  Surface s(2, 1, 0x00332211);  // blue 0x33, green 0x22, red 0x11
  EXPECT_EQ(s.Row(0)[0], 0xFF112233u);
  EXPECT_EQ(s.GetPixel(1, 0), 0x00332211u);
  EXPECT_TRUE(PatBlt(s, 1, 0, 5, 5, 0x000000FF));
  EXPECT_EQ(s.Row(0)[1], 0xFFFF0000u);
  s.SetBackgroundColor(0x00FFFFFF);
  EXPECT_EQ(s.GetPixel(1, 0), 0x00FFFFFFu);
}

}  // namespace
}  // namespace lumen::platform::gdi
