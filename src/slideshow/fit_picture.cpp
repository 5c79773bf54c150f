#include "slideshow/fit_picture.h"

#include <algorithm>

#include "platform/debug_log.h"
#include "platform/picture/picture.h"
#include "platform/rounding.h"

namespace lumen::slideshow {

using platform::RoundHalfEven;

Placement FitPlacement(double w0, double h0, double mw, double mh, double scale) {
  // Sizes are whole numbers: at scale 1 these are the sizes themselves.
  const double boxWidth = RoundHalfEven(mw * scale), boxHeight = RoundHalfEven(mh * scale);
  if (w0 < mw && h0 < mh) {
    const double w = RoundHalfEven(w0 * scale), h = RoundHalfEven(h0 * scale);
    return {RoundHalfEven((boxWidth - w) / 2), RoundHalfEven((boxHeight - h) / 2), static_cast<int>(w),
            static_cast<int>(h)};
  }
  double fittedWidth, fittedHeight;
  // A landscape picture narrower than the page's shape (a 4:3 photo) is fitted to the
  // height like a portrait one, so it is shown whole. Sizes are whole numbers: the
  // products are exact.
  const bool narrowerThanPage = w0 * mh < h0 * mw;
  if (w0 > h0 && !narrowerThanPage) {
    fittedWidth = boxWidth;
    fittedHeight = (boxWidth * h0) / w0;  // the product before the division
  } else {
    fittedHeight = boxHeight;
    fittedWidth = (boxHeight * w0) / h0;
  }
  return {RoundHalfEven((boxWidth - fittedWidth) / 2), RoundHalfEven((boxHeight - fittedHeight) / 2),
          RoundHalfEven(fittedWidth), RoundHalfEven(fittedHeight)};
}

std::shared_ptr<const FittedPicture> RenderFitted(const std::string& path, const PageBox& page, int parts) {
  if (path.empty()) return nullptr;
  auto loaded = platform::picture::LoadPicture(path);
  if (!loaded) {
    platform::DebugLog("cannot show " + loaded.reason());
    return nullptr;
  }
  const platform::picture::Picture& picture = **loaded;
  Placement at = FitPlacement(picture.Width(), picture.Height(), page.width, page.height, page.scale);
  const int pageWidth = RoundHalfEven(page.width * page.scale), pageHeight = RoundHalfEven(page.height * page.scale);
  auto fitted = std::make_shared<FittedPicture>();
  fitted->naturalWidth = picture.Width();
  fitted->naturalHeight = picture.Height();
  fitted->x = std::max(0, at.x);
  fitted->y = std::max(0, at.y);
  int right = std::min(pageWidth, at.x + at.width), bottom = std::min(pageHeight, at.y + at.height);
  if (right <= fitted->x || bottom <= fitted->y) return fitted;  // nothing of it on the page
  fitted->pixels.Resize(right - fitted->x, bottom - fitted->y);
  // The whole rectangle's mapping, drawn into its on-page part.
  if (!picture.StretchTo(fitted->pixels, at.x - fitted->x, at.y - fitted->y, at.width, at.height, parts)) {
    platform::DebugLog("cannot decode " + path);
    return nullptr;
  }
  return fitted;
}

}  // namespace lumen::slideshow
