#include "platform/gdi/stretch_map.h"

namespace lumen::platform::gdi {

int StretchSource(int i, int s, int d, StretchAxis axis) {
  if (d == 1 && s > 1) --s;
  if (s == d) return i;
  // 64-bit: (2i + 1)s reaches beyond 32 bits for long axes.
  const int64_t I = i, S = s, D = d;
  if (d > s) return static_cast<int>(((2 * I + 1) * S - 1) / (2 * D));
  if (axis == StretchAxis::Columns) return static_cast<int>((2 * (I + 1) * S - D) / (2 * D));
  return i == 0 ? 0 : static_cast<int>((2 * I * S - D) / (2 * D) + 1);
}

std::vector<int> StretchMap(int s, int d, StretchAxis axis) {
  std::vector<int> map(d > 0 ? static_cast<size_t>(d) : 0);
  for (int i = 0; i < d; ++i) map[static_cast<size_t>(i)] = StretchSource(i, s, d, axis);
  return map;
}

}  // namespace lumen::platform::gdi
