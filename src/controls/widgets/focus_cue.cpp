#include "controls/widgets/focus_cue.h"

#include <QPainter>
#include <QWidget>

namespace lumen::controls {

bool ShowsKeyboardFocus(const QWidget& widget) {
  return widget.hasFocus() && widget.window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

void PaintFocusCue(QPainter& painter, const QRect& rect) {
  if (rect.width() < 1 || rect.height() < 1) return;
  painter.save();
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::white);
  // Every other pixel counted from the top-left corner, as gdi::DrawFocusRect places them;
  // each edge pixel once, so corners are not inverted twice.
  auto dot = [&](int x, int y) {
    if (((x - rect.left() + y - rect.top()) & 1) == 0) painter.drawRect(QRect(x, y, 1, 1));
  };
  for (int x = rect.left(); x <= rect.right(); ++x) {
    dot(x, rect.top());
    if (rect.bottom() != rect.top()) dot(x, rect.bottom());
  }
  for (int y = rect.top() + 1; y < rect.bottom(); ++y) {
    dot(rect.left(), y);
    if (rect.right() != rect.left()) dot(rect.right(), y);
  }
  painter.restore();
}

}  // namespace lumen::controls
