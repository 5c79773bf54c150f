#include "mainwindow/widgets/caption_bar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QWindow>

namespace lumen::mainwindow {

namespace {

QToolButton* CaptionButton(QWidget* bar, const QString& glyph, const QString& name, int right) {
  auto* button = new QToolButton(bar);
  button->setText(glyph);
  button->setAccessibleName(name);
  button->setToolTip(name);
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);  // not a stop in the window's Tab order
  button->setStyleSheet("QToolButton { color: white; border: none; font-size: 16px; }"
                        "QToolButton:hover { background: rgba(255, 255, 255, 60); }");
  button->setGeometry(bar->width() - right, 0, CaptionBar::kHeight, CaptionBar::kHeight);
  return button;
}

}  // namespace

CaptionBar::CaptionBar(QWidget* window) : QWidget(window) {
  setObjectName("Caption");
  setGeometry(0, 0, window->width(), kHeight);
  connect(CaptionButton(this, "×", "閉じる", kHeight), &QToolButton::clicked, window, &QWidget::close);
  connect(CaptionButton(this, "－", "最小化", 2 * kHeight), &QToolButton::clicked, window, &QWidget::showMinimized);
}

void CaptionBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(kColour));
  painter.setPen(Qt::white);
  QFont font = this->font();
  font.setBold(true);
  painter.setFont(font);
  painter.drawText(rect().adjusted(8, 0, -2 * kHeight, 0), Qt::AlignVCenter | Qt::AlignLeft, window()->windowTitle());
}

void CaptionBar::mousePressEvent(QMouseEvent* event) {
  // The desktop moves the window: a Wayland client cannot place itself.
  if (event->button() == Qt::LeftButton && window()->windowHandle() != nullptr) {
    window()->windowHandle()->startSystemMove();
  }
}

}  // namespace lumen::mainwindow
