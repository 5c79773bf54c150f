// How a failed comparison prints the program's small value types: their fields, not
// gtest's dump of their bytes.
#pragma once

#include <ostream>

#include "platform/gdi/drawing.h"

namespace lumen::platform::gdi {
inline void PrintTo(const RECT& r, std::ostream* out) {
  *out << "RECT{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}
}  // namespace lumen::platform::gdi
