// The leaf's geometry against the worked numbers.
#include "slideshow/leaf.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/gdi/gdi.h"
#include "platform/rounding.h"

namespace lumen::slideshow {
namespace {

using platform::gdi::Surface;

TEST(LeafFor, LiftAndWidthForEachFoldPosition) {
  const int table[][3] = {{900, 0, -450}, {800, 51, -350}, {700, 96, -250}, {600, 130, -150}, {500, 148, -50},
                          {450, 150, 0},  {400, 148, 50},  {300, 130, 150}, {200, 96, 250},   {100, 51, 350},
                          {18, 9, 432},   {0, 0, 450}};
  for (const auto& row : table) {
    LeafGeometry leaf = LeafFor(row[0], 360, 240, 900, 600, 750);
    EXPECT_EQ(leaf.lift, row[1]) << "FoldPos " << row[0];
    EXPECT_EQ(leaf.width, row[2]) << "FoldPos " << row[0];
    EXPECT_EQ(leaf.left, 360 + row[0]);
    EXPECT_EQ(leaf.top, 240 - row[1]);
  }
}

// A source whose column x holds colour x everywhere.
Surface ColumnNumbered(int width, int height) {
  Surface s(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) s.SetPixel(x, y, static_cast<uint32_t>(x + 1));
  }
  return s;
}

// First row of column x that is not the background colour, or -1.
int TopOf(const Surface& s, int x, uint32_t background) {
  for (int y = 0; y < s.Height(); ++y) {
    if (s.GetPixel(x, y) != background) return y;
  }
  return -1;
}

TEST(FlipSBlt, TheArchRaisesTheMiddleOfTheLeaf) {
  // w = 4: c = 0, 0.25, 0.5, 0.75, 1 give arches 0, 21, 30, 21, 0 on a 600-row page.
  const Surface source = ColumnNumbered(8, 600);
  Surface out(20, 800, 0xABCDEF);
  FlipSBlt(out, 10, 100, 4, 600, 600, 0, source, 4, 600, false);
  const int expectedTops[] = {100, 79, 70, 79, 100};
  const uint32_t expectedColumns[] = {0, 1, 2, 3, 4};  // round(c * 4)
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(TopOf(out, 10 + i, 0xABCDEF), expectedTops[i]) << "column " << i;
    EXPECT_EQ(out.GetPixel(10 + i, expectedTops[i]), expectedColumns[i] + 1) << "column " << i;
    EXPECT_EQ(out.GetPixel(10 + i, expectedTops[i] + 599), expectedColumns[i] + 1);
    EXPECT_EQ(out.GetPixel(10 + i, expectedTops[i] + 600), 0xABCDEFu) << "a raised column leaves its strip";
  }
  EXPECT_EQ(out.GetPixel(9, 300), 0xABCDEFu);
  EXPECT_EQ(out.GetPixel(15, 300), 0xABCDEFu);

  Surface nothing(20, 800, 0xABCDEF);
  FlipSBlt(nothing, 10, 100, 0, 600, 600, 0, source, 4, 600, false);
  EXPECT_EQ(TopOf(nothing, 10, 0xABCDEF), -1);
}

TEST(FlipSBlt, EachColumnIsTheStretchedCopyItsDefinitionMakes) {
  // Every pixel says where it came from, so a misplaced one shows.
  Surface source(300, 200);
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 300; ++x) source.Row(y)[x] = 0xFF000000u | uint32_t(y) << 12 | uint32_t(x);
  }
  struct Case {
    int x, y, w, height, drop;
    bool reverse;
  };
  // Clipped at every edge: above the top, past the left and right, below the bottom, and
  // source columns beyond the source; then a leaf squeezed or stretched in height.
  const Case cases[] = {{40, 30, 150, 200, 20, false}, {250, 5, -150, 200, 40, true}, {-20, 70, 80, 200, 0, false},
                        {230, -10, 60, 200, 9, false}, {100, 90, -149, 200, 3, true}, {60, 40, 120, 150, 10, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "x " << c.x << " w " << c.w << " height " << c.height);
    Surface drawn(280, 260, 0x123456), defined(280, 260, 0x123456);
    FlipSBlt(drawn, c.x, c.y, c.w, c.height, c.height, c.drop, source, 150, 200, c.reverse);
    for (int i = std::min(0, c.w); i <= std::max(0, c.w); ++i) {
      const double cd = static_cast<float>(static_cast<double>(i) / c.w);
      const int arch = platform::RoundHalfEven(c.height / 20.0 * std::sin(cd * 3.14159));
      const int sourceX = platform::RoundHalfEven(c.reverse ? (2 - cd) * 150 : cd * 150);
      platform::gdi::StretchBlt(defined, c.x + i, platform::RoundHalfEven(cd * c.drop + c.y - arch), 1, c.height, source,
                                sourceX, 0, 1, 200);
    }
    ASSERT_EQ(drawn.Pixels(), defined.Pixels());
  }
}

TEST(FlipSBlt, ReverseLeafEndsOnePastTheBufferAtItsFreeEdge) {
  // The FoldPos 900 leaf of a 900-wide page: free edge at 900 (c = 0) would take source
  // column 900, which does not exist: that column is not drawn.
  const Surface source = ColumnNumbered(900, 600);
  Surface out(1000, 700, 0xABCDEF);
  FlipSBlt(out, 900, 50, -450, 600, 600, 0, source, 450, 600, true);
  EXPECT_EQ(TopOf(out, 900, 0xABCDEF), -1);
  EXPECT_EQ(out.GetPixel(450, 50), 450u + 1);  // the spine: c = 1, source column 450
  EXPECT_EQ(TopOf(out, 675, 0xABCDEF), 50 - 30);
  EXPECT_EQ(out.GetPixel(675, 20), 675u + 1);  // c = 0.5: source column round(1.5 * 450)
  EXPECT_EQ(out.GetPixel(899, 50), 899u + 1);  // i = -1: round((2 - 1/450) * 450) = 899
  EXPECT_EQ(out.GetPixel(449, 300), 0xABCDEFu);
}

}  // namespace
}  // namespace lumen::slideshow
