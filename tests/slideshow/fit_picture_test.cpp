// Where a picture lands on the page, against the worked numbers.
#include <gtest/gtest.h>

#include <ostream>

#include "slideshow/fit_picture.h"

namespace lumen::slideshow {

// A failure names the rectangle, not its bytes.
void PrintTo(const Placement& p, std::ostream* out) {
  *out << "x " << p.x << ", y " << p.y << ", " << p.width << " x " << p.height;
}

namespace {

TEST(FitPlacement, WorkedCases) {
  const std::pair<std::pair<int, int>, Placement> cases[] = {
      {{640, 480}, {130, 60, 640, 480}},   {{768, 1024}, {225, 0, 450, 600}}, {{1000, 1000}, {150, 0, 600, 600}},
      {{900, 500}, {0, 50, 900, 500}},    {{1200, 500}, {0, 112, 900, 375}}, {{899, 599}, {0, 0, 899, 599}},
      {{900, 600}, {0, 0, 900, 600}},     {{1, 1}, {450, 300, 1, 1}},        {{1500, 1000}, {0, 0, 900, 600}},
      // Landscape but narrower than 3:2: whole, at the page's height (a 4:3 photo).
      {{1024, 768}, {50, 0, 800, 600}},   {{4000, 3000}, {50, 0, 800, 600}}, {{900, 601}, {1, 0, 899, 600}},
  };
  for (const auto& [size, expected] : cases) {
    SCOPED_TRACE(std::to_string(size.first) + " x " + std::to_string(size.second));
    EXPECT_EQ(FitPlacement(size.first, size.second, 900, 600), expected);
  }
}

TEST(FitPlacement, OnAScaledScreenTheSameCaseInDevicePixels) {
  const std::tuple<int, int, double, Placement> cases[] = {
      {640, 480, 2.0, {260, 120, 1280, 960}},   // small: unscaled at 1x, so doubled, centred
      {4000, 3000, 2.0, {100, 0, 1600, 1200}},  // fitted from its own pixels into 1800 x 1200
      {1024, 768, 1.5, {75, 0, 1200, 900}},
      {1200, 500, 1.5, {0, 169, 1350, 562}},  // 562.5 rounds to even; 168.75 up
  };
  for (const auto& [w, h, scale, expected] : cases) {
    SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h) + " at " + std::to_string(scale));
    EXPECT_EQ(FitPlacement(w, h, 900, 600, scale), expected);
  }
}

}  // namespace
}  // namespace lumen::slideshow
