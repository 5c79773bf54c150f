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

// Along an axis kept or reduced by a factor of at most 2: each source pixel weighs by how
// much of the output pixel's span [o * scale, (o + 1) * scale) it covers, in 256ths that
// add up to exactly 256 (a flat colour stays exactly itself).
struct AreaTaps {
  static constexpr int kSpan = 3;  // a span of at most two pixels touches at most three
  std::vector<int> first, count;
  std::vector<uint32_t> weights;   // kSpan per output
};

bool AreaServes(int in, int out) { return in >= out && in <= 2 * out; }

// threeTaps: every output takes three pixels where the source has them, those it does not
// cover weighing nothing, so that its blend has no varying count to branch on.
AreaTaps MakeAreaTaps(int in, int out, bool threeTaps) {
  AreaTaps t;
  const double scale = static_cast<double>(in) / out;
  t.first.resize(out);
  t.count.resize(out);
  t.weights.assign(static_cast<size_t>(out) * AreaTaps::kSpan, 0);
  for (int o = 0; o < out; ++o) {
    const double from = o * scale, to = (o + 1) * scale;
    const int lo = static_cast<int>(from);
    const int hi = std::min({in - 1, static_cast<int>(std::ceil(to)) - 1, lo + AreaTaps::kSpan - 1});
    t.first[o] = lo;
    t.count[o] = hi - lo + 1;
    uint32_t* w = &t.weights[static_cast<size_t>(o) * AreaTaps::kSpan];
    uint32_t given = 0;
    for (int s = lo; s < hi; ++s) {
      const double covered = std::min<double>(s + 1, to) - std::max<double>(s, from);
      w[s - lo] = static_cast<uint32_t>(std::lround(256 * covered / scale));
      given += w[s - lo];
    }
    w[hi - lo] = 256 - std::min<uint32_t>(given, 256);  // the last takes what is left
    if (threeTaps && in >= AreaTaps::kSpan && t.count[o] < AreaTaps::kSpan) {
      const int start = std::min(lo, in - AreaTaps::kSpan);
      const int shift = lo - start;
      for (int k = AreaTaps::kSpan - 1; k >= 0; --k) w[k] = k >= shift && k - shift < t.count[o] ? w[k - shift] : 0;
      t.first[o] = start;
      t.count[o] = AreaTaps::kSpan;
    }
  }
  return t;
}

// The weighted sum of `count` neighbouring pixels, weights in 256ths adding up to 256,
// rounded half up. Red and blue share one word, green has its own: no channel can reach
// the next (255 x 256 + 128 < 65536).
inline uint32_t Blend(const uint32_t* p, const uint32_t* w, int count) {
  uint32_t redBlue = 0x00800080u, green = 0x00008000u;
  for (int k = 0; k < count; ++k) {
    redBlue += (p[k] & 0x00FF00FFu) * w[k];
    green += (p[k] & 0x0000FF00u) * w[k];
  }
  return 0xFF000000u | ((redBlue >> 8) & 0x00FF00FFu) | ((green >> 8) & 0x0000FF00u);
}

platform::gdi::Surface AverageAreas(const platform::gdi::Surface& source, int width, int height) {
  const AreaTaps across = MakeAreaTaps(source.Width(), width, true);
  const AreaTaps down = MakeAreaTaps(source.Height(), height, false);
  // Down first, a row of bytes at a time: a byte's weighted sum fits 16 bits (255 x 256 +
  // 128), so the loop vectorises. Then across, a pixel at a time.
  const size_t rowBytes = static_cast<size_t>(source.Width()) * 4;
  std::vector<uint32_t> mid(static_cast<size_t>(height) * source.Width());
  std::vector<uint16_t> sum(rowBytes);
  for (int y = 0; y < height; ++y) {
    std::fill(sum.begin(), sum.end(), uint16_t{128});
    for (int k = 0; k < down.count[y]; ++k) {
      const auto* from = reinterpret_cast<const uint8_t*>(source.Row(down.first[y] + k));
      const auto weight = static_cast<uint16_t>(down.weights[static_cast<size_t>(y) * AreaTaps::kSpan + k]);
      for (size_t i = 0; i < rowBytes; ++i) sum[i] = static_cast<uint16_t>(sum[i] + from[i] * weight);
    }
    auto* to = reinterpret_cast<uint8_t*>(&mid[static_cast<size_t>(y) * source.Width()]);
    for (size_t i = 0; i < rowBytes; ++i) to[i] = static_cast<uint8_t>(sum[i] >> 8);
  }
  platform::gdi::Surface out(width, height);
  for (int y = 0; y < height; ++y) {
    const uint32_t* row = &mid[static_cast<size_t>(y) * source.Width()];
    uint32_t* to = out.Row(y);
    const bool three = source.Width() >= AreaTaps::kSpan;
    for (int x = 0; x < width; ++x) {
      const uint32_t* w = &across.weights[static_cast<size_t>(x) * AreaTaps::kSpan];
      to[x] = three ? Blend(row + across.first[x], w, AreaTaps::kSpan) : Blend(row + across.first[x], w, across.count[x]);
    }
  }
  return out;
}

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
  if (source.Empty() || width <= 0 || height <= 0) return platform::gdi::Surface(width, height);
  if (AreaServes(source.Width(), width) && AreaServes(source.Height(), height)) {
    return AverageAreas(source, width, height);
  }
  const Taps across = MakeTaps(source.Width(), width);
  const Taps down = MakeTaps(source.Height(), height);
  platform::gdi::Surface out(width, height);

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
