#include "catalogue/resample.h"

#include <algorithm>
#include <cmath>
#include <memory>
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

// Along an axis reduced by a factor in (1, 2]: each source pixel weighs by how much of the
// output pixel's span [o * scale, (o + 1) * scale) it covers.
Taps MakeAreaTaps(int in, int out) {
  Taps t;
  const double scale = static_cast<double>(in) / out;
  t.span = 3;  // a span of at most two pixels touches at most three
  t.first.resize(out);
  t.count.resize(out);
  t.weights.assign(static_cast<size_t>(out) * t.span, 0.f);
  for (int o = 0; o < out; ++o) {
    const double from = o * scale, to = (o + 1) * scale;
    const int lo = static_cast<int>(from);
    const int hi = std::min({in - 1, static_cast<int>(std::ceil(to)) - 1, lo + t.span - 1});
    t.first[o] = lo;
    t.count[o] = hi - lo + 1;
    for (int s = lo; s <= hi; ++s) {
      const double covered = std::min<double>(s + 1, to) - std::max<double>(s, from);
      t.weights[static_cast<size_t>(o) * t.span + (s - lo)] = static_cast<float>(covered / scale);
    }
  }
  return t;
}

Taps TapsFor(int in, int out) { return in > out && in <= 2 * out ? MakeAreaTaps(in, out) : MakeTaps(in, out); }

// One pixel's blue, green, red and a spare lane, in the order a pixel holds its bytes;
// the compiler turns the arithmetic on it into single vector instructions.
typedef float Lanes __attribute__((vector_size(16)));

typedef int32_t Ints __attribute__((vector_size(16)));

Lanes Unpack(uint32_t p) {
  const Ints channels{int32_t(p & 0xFF), int32_t((p >> 8) & 0xFF), int32_t((p >> 16) & 0xFF), 0};
  return __builtin_convertvector(channels, Lanes);
}

uint32_t Pack(Lanes v) {
  // Non-negative after the clamp, so adding a half and truncating rounds as lround would.
  auto c = [](float x) { return static_cast<uint32_t>(std::clamp(x, 0.f, 255.f) + 0.5f); };
  return 0xFF000000u | c(v[2]) << 16 | c(v[1]) << 8 | c(v[0]);
}

}  // namespace

platform::gdi::Surface Resample(const platform::gdi::Surface& source, int width, int height) {
  platform::gdi::Surface out(width, height);
  if (source.Empty() || width <= 0 || height <= 0) return out;
  const Taps across = TapsFor(source.Width(), width);
  const Taps down = TapsFor(source.Height(), height);

  // Horizontal pass into source.Height() rows of `width` pixels, each source row unpacked
  // once. Every element is written before it is read: no need to clear them.
  std::unique_ptr<Lanes[]> mid(new Lanes[static_cast<size_t>(source.Height()) * width]);
  std::unique_ptr<Lanes[]> unpacked(new Lanes[static_cast<size_t>(source.Width())]);
  for (int y = 0; y < source.Height(); ++y) {
    const uint32_t* row = source.Row(y);
    for (int x = 0; x < source.Width(); ++x) unpacked[x] = Unpack(row[x]);
    Lanes* to = &mid[static_cast<size_t>(y) * width];
    for (int x = 0; x < width; ++x) {
      const float* w = &across.weights[static_cast<size_t>(x) * across.span];
      const Lanes* p = &unpacked[across.first[x]];
      // Four sums in turn, so each addition need not wait for the one before.
      Lanes sum[4] = {};
      const int count = across.count[x];
      int k = 0;
      for (; k + 4 <= count; k += 4) {
        sum[0] += w[k] * p[k], sum[1] += w[k + 1] * p[k + 1];
        sum[2] += w[k + 2] * p[k + 2], sum[3] += w[k + 3] * p[k + 3];
      }
      for (; k < count; ++k) sum[0] += w[k] * p[k];
      to[x] = (sum[0] + sum[1]) + (sum[2] + sum[3]);
    }
  }
  // Vertical pass, a whole row at a time.
  std::unique_ptr<Lanes[]> sum(new Lanes[static_cast<size_t>(width)]);
  for (int y = 0; y < height; ++y) {
    const float* w = &down.weights[static_cast<size_t>(y) * down.span];
    const Lanes* first = &mid[static_cast<size_t>(down.first[y]) * width];
    for (int x = 0; x < width; ++x) sum[x] = w[0] * first[x];
    for (int k = 1; k < down.count[y]; ++k) {
      const Lanes* p = &mid[static_cast<size_t>(down.first[y] + k) * width];
      const float weight = w[k];
      for (int x = 0; x < width; ++x) sum[x] += weight * p[x];
    }
    uint32_t* row = out.Row(y);
    for (int x = 0; x < width; ++x) row[x] = Pack(sum[x]);
  }
  return out;
}

}  // namespace lumen::catalogue
