// LumenThumb: a picture file made into a small ready-made picture of a requested size,
// on a canvas of a background colour, stretched or fitted with its proportions kept.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/gdi/surface.h"
#include "platform/result.h"

namespace lumen::catalogue {

class ThumbnailCache;
using platform::gdi::COLORREF;
using platform::gdi::Surface;

// A picture object, as the list's image list holds it.
using PictureObject = std::shared_ptr<const Surface>;

// A picture that cannot be loaded is error 999 of the "GDI+ Module", described as
// "Error loading picture " and the path.
inline constexpr int kLoadErrorNumber = 999;

// The picture at the size asked for (-1 in either: the picture's own size, written back
// to both). Keep aspect: fitted and centred, margins in the background colour; else
// stretched. With a cache, boxes up to 128 pixels come through its 128-pixel thumbnails.
Result<PictureObject> LoadPictureScaled(const std::string& path, int& width, int& height, COLORREF background,
                                        bool keepAspect, ThumbnailCache* cache = nullptr);

struct Canvas {
  Surface bitmap;
};
Canvas CreateCanvas(int width, int height, COLORREF background);
// Draws `image` (the picture, possibly already reduced) standing for a picture of
// pictureWidth x pictureHeight: stretched to the canvas, or fitted by the rounding rules
// (rb < ri: full width; otherwise full height, ties included; halves to even).
void DrawImageFitted(const Surface& image, int pictureWidth, int pictureHeight, Canvas& canvas, int width,
                     int height, bool keepAspect);
Surface ReleaseCanvas(Canvas canvas);
PictureObject BitmapToPicture(Surface bitmap);

struct FittedRect {
  int x, y, width, height;
  bool operator==(const FittedRect&) const = default;
};
FittedRect FitInBox(int pictureWidth, int pictureHeight, int width, int height);

}  // namespace lumen::catalogue
