// Fitting a picture into the 900 x 600 page.
#pragma once

#include <memory>
#include <string>

#include "platform/gdi/surface.h"

namespace lumen::slideshow {

struct Placement {
  int x, y, width, height;  // the picture's rectangle on the page; may reach outside it
  bool operator==(const Placement&) const = default;
};

// Where a picture of natural size w0 x h0 lands in a box of mw x mh: unscaled and centred
// when it is smaller both ways; otherwise a landscape picture at least as wide as the
// box's shape takes the full box width, and every other picture (portrait, square, or a
// 4:3 landscape in a 3:2 box) the full height, keeping its proportions, centred.
Placement FitPlacement(double w0, double h0, double mw, double mh);

// A picture as it lands on a page: the part of the page it covers, ready to be copied.
struct FittedPicture {
  int naturalWidth = 0, naturalHeight = 0;
  int x = 0, y = 0;               // top left of `pixels` on the page
  platform::gdi::Surface pixels;  // the picture's rectangle, clipped to the page
};

// Loads the picture and draws it as FitPicture does onto a page of pageWidth x pageHeight.
// Null when the file cannot be loaded or decoded. Thread-safe.
std::shared_ptr<const FittedPicture> RenderFitted(const std::string& path, int pageWidth, int pageHeight);

}  // namespace lumen::slideshow
