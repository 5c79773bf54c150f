#include "controls/widgets/qt_surface.h"

#include <QFont>
#include <algorithm>
#include <QPainter>

namespace lumen::controls {

void DrawCaptionText(platform::gdi::Surface& surface, const std::string& caption, const platform::gdi::RECT& rect,
                     platform::gdi::COLORREF colour, const FontSpec& font) {
  if (surface.Empty() || rect.Empty()) return;
  QImage image = AsQImage(surface);
  QPainter painter(&image);
  PaintCaption(painter, caption, rect, colour, font);
}

void PaintCaption(QPainter& painter, const std::string& caption, const platform::gdi::RECT& rect,
                  platform::gdi::COLORREF colour, const FontSpec& font) {
  if (rect.Empty()) return;
  QFont qfont(QString::fromStdString(font.name));
  qfont.setPointSizeF(font.points);
  qfont.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight, 100, 900)));
  qfont.setItalic(font.italic);
  qfont.setUnderline(font.underline);
  qfont.setStrikeOut(font.strikeout);
  painter.setFont(qfont);
  painter.setPen(QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
  // Qt's mnemonic rule is Windows' prefix rule: "&x" underlines x, "&&" shows "&".
  painter.drawText(QRect(rect.left, rect.top, rect.Width(), rect.Height()),
                   Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, QString::fromStdString(caption));
}

QImage ScaledForScreen(const QImage& image, qreal ratio) {
  if (ratio == 1.0 || image.isNull()) return image;
  QImage scaled = image.scaled(qRound(image.width() * ratio), qRound(image.height() * ratio), Qt::IgnoreAspectRatio,
                               Qt::FastTransformation);
  scaled.setDevicePixelRatio(ratio);
  return scaled;
}

}  // namespace lumen::controls
