// A high-quality resampler, separable. A picture reduced by at most twice in each direction
// has each output pixel the average of the source area it covers (at that reduction a
// bicubic kernel adds nothing the eye sees at thumbnail size, and costs three times the
// taps); any other size Catmull-Rom weights (a = -0.5), the kernel widened by the reduction
// factor when shrinking so that every source pixel counts (the way GDI+'s high-quality
// bicubic mode behaves, not a 4-tap point sample).
#pragma once

#include "platform/gdi/surface.h"

namespace lumen::catalogue {

// The whole source scaled to width x height (both > 0).
platform::gdi::Surface Resample(const platform::gdi::Surface& source, int width, int height);

}  // namespace lumen::catalogue
