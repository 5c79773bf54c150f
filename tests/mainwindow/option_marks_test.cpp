// The two option marks, pixel by pixel.
#include <gtest/gtest.h>

#include "mainwindow/option_marks.h"

namespace lumen::mainwindow {
namespace {

TEST(OptionMark, ClearAndChosenSquares) {
  const auto clear = OptionMark(false), chosen = OptionMark(true);
  ASSERT_EQ(clear.Width(), 12);
  ASSERT_EQ(clear.Height(), 12);
  const uint32_t border = 0x7F5A3C, face = 0xF8F8F8, blue = 0xD6671E;  // COLORREF
  for (auto [x, y] : {std::pair{0, 0}, {11, 0}, {0, 11}, {11, 11}, {5, 0}, {0, 6}, {11, 7}, {4, 11}}) {
    EXPECT_EQ(clear.GetPixel(x, y), border) << x << "," << y;
    EXPECT_EQ(chosen.GetPixel(x, y), border) << x << "," << y;
  }
  for (auto [x, y] : {std::pair{1, 1}, {10, 10}, {5, 5}, {2, 9}}) EXPECT_EQ(clear.GetPixel(x, y), face);
  for (auto [x, y] : {std::pair{1, 1}, {10, 10}, {1, 5}, {6, 10}}) EXPECT_EQ(chosen.GetPixel(x, y), face);
  for (auto [x, y] : {std::pair{2, 2}, {9, 9}, {2, 9}, {9, 2}, {5, 6}}) EXPECT_EQ(chosen.GetPixel(x, y), blue);
}

}  // namespace
}  // namespace lumen::mainwindow
