// A surface seen as a QImage (the pixel layouts are the same), for Qt to paint text on or
// to put on the screen.
#pragma once

#include <QImage>

#include "controls/property_bag.h"
#include "platform/gdi/drawing.h"

namespace lumen::controls {

// Shares the surface's pixels: valid while the surface is neither resized nor destroyed.
inline QImage AsQImage(platform::gdi::Surface& surface) {
  return QImage(reinterpret_cast<uchar*>(surface.Row(0)), surface.Width(), surface.Height(),
                surface.Width() * 4, QImage::Format_RGB32);
}

// DrawTextA with DT_SINGLELINE | DT_CENTER | DT_VCENTER, transparent, "&" prefixes.
void DrawCaptionText(platform::gdi::Surface& surface, const std::string& caption, const platform::gdi::RECT& rect,
                     platform::gdi::COLORREF colour, const FontSpec& font);

}  // namespace lumen::controls
