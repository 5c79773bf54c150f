#include "mainwindow/widgets/option_controls.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "controls/widgets/focus_cue.h"
#include "controls/widgets/qt_surface.h"
#include "mainwindow/option_marks.h"
#include "mainwindow/widgets/accessible_options.h"

namespace lumen::mainwindow {
namespace {

bool ReleasedInside(QWidget* widget, QMouseEvent* event) {
  return event->button() == Qt::LeftButton && widget->rect().contains(event->position().toPoint());
}

}  // namespace

// One pixel of margin all round, for the focus cue; whoever places a label moves it one
// pixel up and left, so its text stands where it always did.
ClickLabel::ClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  InstallAccessibleOptions();
  setContentsMargins(1, 1, 1, 1);
}

void ClickLabel::paintEvent(QPaintEvent* event) {
  QLabel::paintEvent(event);
  if (mark_ == nullptr || !controls::ShowsKeyboardFocus(*mark_)) return;
  QPainter painter(this);
  const int textWidth = fontMetrics().horizontalAdvance(text()) + 2;
  controls::PaintFocusCue(painter, QRect(0, 0, std::min(width(), textWidth), height()));
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (ReleasedInside(this, event)) emit Click();
}

OptionPicture::OptionPicture(QWidget* parent, ClickLabel* label) : QWidget(parent), label_(label) {
  InstallAccessibleOptions();
  setFixedSize(13, 13);
  label_->SetMark(this);
}

void OptionPicture::SetSelected(bool selected) {
  if (selected == selected_) return;
  selected_ = selected;
  update();
  QAccessible::State changed;
  changed.checked = true;
  QAccessibleStateChangeEvent event(this, changed);
  QAccessible::updateAccessibility(&event);
}

void OptionPicture::paintEvent(QPaintEvent*) {
  // The mark sits at the picture's top-left corner; its 13th row and column show the panel.
  platform::gdi::Surface mark = OptionMark(selected_);
  QPainter(this).drawImage(0, 0, controls::AsQImage(mark));
}

void OptionPicture::mouseReleaseEvent(QMouseEvent* event) {
  if (ReleasedInside(this, event)) emit Click();
}

void OptionPicture::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up: emit Step(-1); break;
    case Qt::Key_Right:
    case Qt::Key_Down: emit Step(1); break;
    case Qt::Key_Space:
      if (!event->isAutoRepeat()) emit Click();
      break;
    default: QWidget::keyPressEvent(event); return;
  }
  event->accept();
}

void OptionPicture::focusInEvent(QFocusEvent*) { label_->update(); }
void OptionPicture::focusOutEvent(QFocusEvent*) { label_->update(); }

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QWidget(parent), text_(new QLabel(text, this)) {
  InstallAccessibleOptions();
  setFocusPolicy(Qt::TabFocus);
  text_->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LinkLabel::paintEvent(QPaintEvent*) {
  if (!controls::ShowsKeyboardFocus(*this)) return;
  QPainter painter(this);
  const int textWidth = text_->fontMetrics().horizontalAdvance(text()) + 2;
  controls::PaintFocusCue(painter, QRect(0, 0, std::min(width(), textWidth), height()));
}

void LinkLabel::resizeEvent(QResizeEvent*) { text_->setGeometry(rect()); }

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (ReleasedInside(this, event)) emit Click();
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      if (!event->isAutoRepeat()) emit Click();
      event->accept();
      break;
    default: QWidget::keyPressEvent(event);
  }
}

void LinkLabel::focusInEvent(QFocusEvent*) { update(); }
void LinkLabel::focusOutEvent(QFocusEvent*) { update(); }

}  // namespace lumen::mainwindow
