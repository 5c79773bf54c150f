#include "mainwindow/widgets/option_controls.h"

#include <QMouseEvent>
#include <QPainter>

#include "controls/widgets/qt_surface.h"
#include "mainwindow/option_marks.h"

namespace lumen::mainwindow {
namespace {

bool ReleasedInside(QWidget* widget, QMouseEvent* event) {
  return event->button() == Qt::LeftButton && widget->rect().contains(event->position().toPoint());
}

}  // namespace

OptionPicture::OptionPicture(QWidget* parent) : QWidget(parent) { setFixedSize(13, 13); }

void OptionPicture::SetSelected(bool selected) {
  if (selected == selected_) return;
  selected_ = selected;
  update();
}

void OptionPicture::paintEvent(QPaintEvent*) {
  // The mark sits at the picture's top-left corner; its 13th row and column show the panel.
  platform::gdi::Surface mark = OptionMark(selected_);
  QPainter(this).drawImage(0, 0, controls::AsQImage(mark));
}

void OptionPicture::mouseReleaseEvent(QMouseEvent* event) {
  if (ReleasedInside(this, event)) emit Click();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (ReleasedInside(this, event)) emit Click();
}

}  // namespace lumen::mainwindow
