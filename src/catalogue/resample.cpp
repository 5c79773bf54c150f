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
  // Non-negative after the clamp, so adding a half and truncating rounds as lround would.
  auto c = [](float v) { return static_cast<uint32_t>(std::clamp(v, 0.f, 255.f) + 0.5f); };
  return 0xFF000000u | c(r) << 16 | c(g) << 8 | c(b);
}

}  // namespace

platform::gdi::Surface ResampleBicubic(const platform::gdi::Surface& source, int width, int height) {
  platform::gdi::Surface out(width, height);
  if (source.Empty() || width <= 0 || height <= 0) return out;
  const Taps across = MakeTaps(source.Width(), width);
  const Taps down = MakeTaps(source.Height(), height);

  // Horizontal pass into a float buffer of source.Height() x width x 3, each source row
  // unpacked to floats once.
  std::vector<float> mid(static_cast<size_t>(source.Height()) * width * 3);
  std::vector<float> unpacked(static_cast<size_t>(source.Width()) * 3);
  for (int y = 0; y < source.Height(); ++y) {
    const uint32_t* row = source.Row(y);
    for (int x = 0; x < source.Width(); ++x) {
      unpacked[3 * x] = static_cast<float>((row[x] >> 16) & 0xFF);
      unpacked[3 * x + 1] = static_cast<float>((row[x] >> 8) & 0xFF);
      unpacked[3 * x + 2] = static_cast<float>(row[x] & 0xFF);
    }
    float* to = &mid[static_cast<size_t>(y) * width * 3];
    for (int x = 0; x < width; ++x) {
      float r = 0, g = 0, b = 0;
      const float* w = &across.weights[static_cast<size_t>(x) * across.span];
      const float* p = &unpacked[static_cast<size_t>(across.first[x]) * 3];
      for (int k = 0; k < across.count[x]; ++k) {
        r += w[k] * p[3 * k];
        g += w[k] * p[3 * k + 1];
        b += w[k] * p[3 * k + 2];
      }
      to[3 * x] = r, to[3 * x + 1] = g, to[3 * x + 2] = b;
    }
  }
  // Vertical pass, a whole row at a time (the inner loop runs along memory and vectorises).
  std::vector<float> sum(static_cast<size_t>(width) * 3);
  for (int y = 0; y < height; ++y) {
    std::fill(sum.begin(), sum.end(), 0.f);
    const float* w = &down.weights[static_cast<size_t>(y) * down.span];
    for (int k = 0; k < down.count[y]; ++k) {
      const float* p = &mid[static_cast<size_t>(down.first[y] + k) * width * 3];
      const float weight = w[k];
      for (size_t i = 0; i < sum.size(); ++i) sum[i] += weight * p[i];
    }
    uint32_t* row = out.Row(y);
    for (int x = 0; x < width; ++x) row[x] = Pack(sum[3 * x], sum[3 * x + 1], sum[3 * x + 2]);
  }
  return out;
}

}  // namespace lumen::catalogue
