// Turning a Display P3 page into sRGB: Qt's colour engine, which the program uses, against
// Little CMS 2 on the same 900 x 600 pixels in the same run.
#include <benchmark/benchmark.h>
#include <lcms2.h>

#include "platform/gdi/surface.h"
#include "platform/picture/colour_profile.h"

namespace {

using lumen::platform::gdi::Surface;

Surface Page() {
  Surface page(900, 600);
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 900; ++x) page.SetPixel(x, y, uint32_t(x * 2654435761u + y * 40503u) & 0xFFFFFF);
  }
  return page;
}

void BM_PageToSrgbQt(benchmark::State& state) {
  const auto toSrgb = lumen::platform::picture::ToSrgb::From(QColorSpace(QColorSpace::DisplayP3));
  Surface page = Page();
  for (auto _ : state) {
    toSrgb->Apply(page, 0, 0, 900, 600);
    benchmark::DoNotOptimize(page.Row(0));
  }
}
BENCHMARK(BM_PageToSrgbQt)->Unit(benchmark::kMillisecond);

void BM_PageToSrgbLittleCms(benchmark::State& state) {
  const cmsCIExyY d65 = {0.3127, 0.3290, 1.0};
  const cmsCIExyYTRIPLE p3 = {{0.680, 0.320, 1}, {0.265, 0.690, 1}, {0.150, 0.060, 1}};
  const double srgbCurve[] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
  cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 4, srgbCurve);
  cmsToneCurve* curves[3] = {curve, curve, curve};
  cmsHPROFILE from = cmsCreateRGBProfile(&d65, &p3, curves), to = cmsCreate_sRGBProfile();
  cmsHTRANSFORM transform = cmsCreateTransform(from, TYPE_BGRA_8, to, TYPE_BGRA_8, INTENT_RELATIVE_COLORIMETRIC, 0);
  Surface page = Page();
  for (auto _ : state) {
    cmsDoTransform(transform, page.Row(0), page.Row(0), 900 * 600);
    benchmark::DoNotOptimize(page.Row(0));
  }
  cmsDeleteTransform(transform);
  cmsCloseProfile(from);
  cmsCloseProfile(to);
  cmsFreeToneCurve(curve);
}
BENCHMARK(BM_PageToSrgbLittleCms)->Unit(benchmark::kMillisecond);

}  // namespace
