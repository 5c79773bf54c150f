#include "mainwindow/widgets/colour_button.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace lumen::mainwindow {

void ColourButton::SetFaceColour(int32_t colour) {
  face_ = colour;
  update();
}

void ColourButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  painter.drawControl(QStyle::CE_PushButtonBevel, option);
  const auto c = static_cast<uint32_t>(face_);
  // Inside the bevel; pressed, the face moves with the button as a Windows face does.
  const int shift = isDown() ? 1 : 0;
  painter.fillRect(rect().adjusted(3 + shift, 3 + shift, -3 + shift, -3 + shift),
                   QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
}

}  // namespace lumen::mainwindow
