// The one bridge between our surfaces and Qt's images. A surface's pixel is 0xFFRRGGBB,
// the word QImage::Format_RGB32 and ARGB32 use, so a surface can be seen as a QImage
// without copying, and the colour key becomes alpha in one place.
#pragma once

#include <QImage>
#include <QPoint>
#include <optional>

#include "platform/gdi/surface.h"

namespace lumen::platform::gdi {

// Shares the surface's pixels: valid while the surface is neither resized nor destroyed.
QImage AsQImage(Surface& surface);
QImage ToQImage(const Surface& surface);  // a copy
Surface FromQImage(const QImage& image);  // a copy, opaque, of an image of any format

// The window image as the screen or a PNG takes it: each pixel exactly equal to the key
// becomes see-through (alpha 0), every other pixel is opaque. Written into `into` at `at`,
// clipped to it. In an ARGB32_Premultiplied image a see-through pixel is 0; in an ARGB32
// one it keeps its colour.
void PutKeyed(const Surface& image, std::optional<COLORREF> key, QImage& into, QPoint at = {});

}  // namespace lumen::platform::gdi
