// A surface seen as a QImage (the pixel layouts are the same), for Qt to paint text on or
// to put on the screen.
#pragma once

#include <QImage>
#include <string>

#include "controls/lumen_button.h"
#include "platform/gdi/drawing.h"
#include "platform/gdi/qt_image.h"

class QPainter;

namespace lumen::controls {

using platform::gdi::AsQImage;

// DrawTextA with DT_SINGLELINE | DT_CENTER | DT_VCENTER, transparent, "&" prefixes.
void DrawCaptionText(platform::gdi::Surface& surface, const std::string& caption, const platform::gdi::RECT& rect,
                     platform::gdi::COLORREF colour, const FontSpec& font);
// The same onto any painter: on a HiDPI screen the widget paints it at device resolution.
void PaintCaption(QPainter& painter, const std::string& caption, const platform::gdi::RECT& rect,
                  platform::gdi::COLORREF colour, const FontSpec& font);

// A control's 1x image on a screen scaled by `ratio`: each pixel becomes a block of device
// pixels (no blur; at 1 the image itself).
QImage ScaledForScreen(const QImage& image, qreal ratio);

}  // namespace lumen::controls
