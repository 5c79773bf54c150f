// Which source pixel a stretched copy takes for each destination pixel, per axis: the
// nearest-neighbour rule of COLORONCOLOR as GDI's reimplementations use it. s is the
// source length, d the destination length (both > 0); divisions floor.
//
//   s = d                 one to one
//   d = 1 < s             s is taken as s - 1 first (2 -> 1 takes pixel 0)
//   enlarging  (d > s)    i -> (2i + 1)s - 1  / 2d
//   shrinking, columns    i -> 2(i + 1)s - d  / 2d   (the last of each dropped group stays)
//   shrinking, rows       j -> 2js - d / 2d + 1, and row 0 -> 0 (the first stays)
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumen::platform::gdi {

enum class StretchAxis { Columns, Rows };

int StretchSource(int i, int s, int d, StretchAxis axis);

// StretchSource for i = 0 .. d - 1.
std::vector<int> StretchMap(int s, int d, StretchAxis axis);

}  // namespace lumen::platform::gdi
