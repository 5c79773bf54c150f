#include "controls/widgets/form_window.h"

#include <QEvent>
#include <QWidget>

namespace lumen::controls {

FormWindow::FormWindow(QWidget* topLevel) : QObject(topLevel) {
  setObjectName("lumen-form-window");
  topLevel->installEventFilter(this);
}

platform::HWND FormWindow::For(QWidget* widget) {
  QWidget* topLevel = widget->window();
  auto* existing = topLevel->findChild<FormWindow*>("lumen-form-window", Qt::FindDirectChildrenOnly);
  return &(existing != nullptr ? existing : new FormWindow(topLevel))->window_;
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ActivationChange) {
    auto* topLevel = static_cast<QWidget*>(watched);
    window_.SendMessage(platform::WM_ACTIVATE, topLevel->isActiveWindow() ? 1 : 0);
  }
  return false;
}

}  // namespace lumen::controls
