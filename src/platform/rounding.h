// round(x) of the show's geometry: to the nearest integer, halves to the even neighbour
// (round(-37.5) = -38, round(112.5) = 112, round(450.5) = 450).
#pragma once

#include <cmath>
#include <cstdint>

namespace lumen::platform {

// std::nearbyint rounds in the current mode, which is to-nearest-even unless changed.
inline int32_t RoundHalfEven(double value) { return static_cast<int32_t>(std::nearbyint(value)); }

}  // namespace lumen::platform
