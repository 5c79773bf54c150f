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
// On a screen scaled by `scale` the box is round(mw * scale) x round(mh * scale) device
// pixels and the result is in device pixels; which case applies is decided as at 1x, so
// the page looks the same, and a large photo is fitted from its own pixels (sharp).
Placement FitPlacement(double w0, double h0, double mw, double mh, double scale = 1.0);

// The page a picture is fitted into: its size in the show's units, and the device pixels
// per unit of the screen it is shown on.
struct PageBox {
  int width = 900, height = 600;
  double scale = 1.0;
};

// A picture as it lands on a page: the part of the page it covers, ready to be copied.
struct FittedPicture {
  int naturalWidth = 0, naturalHeight = 0;
  int x = 0, y = 0;               // top left of `pixels` on the page
  platform::gdi::Surface pixels;  // the picture's rectangle, clipped to the page
};

// Loads the picture and draws it as FitPicture does onto the page (in device pixels).
// Null when the file cannot be loaded or decoded. Thread-safe. `parts` > 1: a JPEG with
// restart markers is decoded on that many threads at once, for a turn that is waiting.
std::shared_ptr<const FittedPicture> RenderFitted(const std::string& path, const PageBox& page, int parts = 1);

}  // namespace lumen::slideshow
