#include "catalogue/resample.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace lumen::catalogue {
namespace {

double CatmullRom(double x) {
  x = std::abs(x);
  if (x < 1) return (1.5 * x - 2.5) * x * x + 1;
  if (x < 2) return ((-0.5 * x + 2.5) * x - 4) * x + 2;
  return 0;
}

// For each output index, the first source index and the normalised weights it takes.
struct Taps {
  std::vector<int> first;
  std::vector<int> count;
  std::vector<float> weights;  // count[i] weights per output, packed, for at most `span` each
  int span = 0;
};

Taps MakeTaps(int in, int out) {
  Taps t;
  const double scale = static_cast<double>(in) / out;
  const double widen = std::max(1.0, scale);  // shrinking: the kernel spans `scale` source pixels per tap
  const double support = 2 * widen;
  t.span = static_cast<int>(std::ceil(support)) * 2 + 1;
  t.first.resize(out);
  t.count.resize(out);
  t.weights.assign(static_cast<size_t>(out) * t.span, 0.f);
  for (int o = 0; o < out; ++o) {
    const double centre = (o + 0.5) * scale - 0.5;
    int lo = std::max(0, static_cast<int>(std::floor(centre - support)) + 1);
    int hi = std::min(in - 1, static_cast<int>(std::ceil(centre + support)) - 1);
    hi = std::min(hi, lo + t.span - 1);
    double sum = 0;
    for (int s = lo; s <= hi; ++s) sum += CatmullRom((s - centre) / widen);
    if (sum == 0) sum = 1;
    t.first[o] = lo;
    t.count[o] = hi - lo + 1;
    for (int s = lo; s <= hi; ++s) {
      t.weights[static_cast<size_t>(o) * t.span + (s - lo)] = static_cast<float>(CatmullRom((s - centre) / widen) / sum);
    }
  }
  return t;
}

uint32_t Pack(float r, float g, float b) {
  auto c = [](float v) { return static_cast<uint32_t>(std::clamp(std::lround(v), 0L, 255L)); };
  return 0xFF000000u | c(r) << 16 | c(g) << 8 | c(b);
}

}  // namespace

platform::gdi::Surface ResampleBicubic(const platform::gdi::Surface& source, int width, int height) {
  platform::gdi::Surface out(width, height);
  if (source.Empty() || width <= 0 || height <= 0) return out;
  const Taps across = MakeTaps(source.Width(), width);
  const Taps down = MakeTaps(source.Height(), height);

  // Horizontal pass into a float buffer of source.Height() x width x 3.
  std::vector<float> mid(static_cast<size_t>(source.Height()) * width * 3);
  for (int y = 0; y < source.Height(); ++y) {
    const uint32_t* row = source.Row(y);
    float* to = &mid[static_cast<size_t>(y) * width * 3];
    for (int x = 0; x < width; ++x) {
      float r = 0, g = 0, b = 0;
      const float* w = &across.weights[static_cast<size_t>(x) * across.span];
      for (int k = 0; k < across.count[x]; ++k) {
        const uint32_t p = row[across.first[x] + k];
        r += w[k] * ((p >> 16) & 0xFF);
        g += w[k] * ((p >> 8) & 0xFF);
        b += w[k] * (p & 0xFF);
      }
      to[3 * x] = r, to[3 * x + 1] = g, to[3 * x + 2] = b;
    }
  }
  // Vertical pass.
  for (int y = 0; y < height; ++y) {
    uint32_t* row = out.Row(y);
    const float* w = &down.weights[static_cast<size_t>(y) * down.span];
    for (int x = 0; x < width; ++x) {
      float r = 0, g = 0, b = 0;
      for (int k = 0; k < down.count[y]; ++k) {
        const float* p = &mid[(static_cast<size_t>(down.first[y] + k) * width + x) * 3];
        r += w[k] * p[0];
        g += w[k] * p[1];
        b += w[k] * p[2];
      }
      row[x] = Pack(r, g, b);
    }
  }
  return out;
}

}  // namespace lumen::catalogue
