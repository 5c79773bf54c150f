#include "mainwindow/widgets/announcer.h"

#include <QEvent>
#include <QMetaObject>

#include "mainwindow/widgets/accessible_options.h"

namespace lumen::mainwindow {

Announcer::Announcer(QWidget* parent) : QWidget(parent) {
  InstallAccessibleOptions();
  setObjectName("Announcer");
  setFixedSize(0, 0);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  hide();
  window()->installEventFilter(this);
}

void Announcer::Say(const QString& text) {
  pending_ = text;
  if (window()->isActiveWindow()) Show();
}

bool Announcer::eventFilter(QObject* watched, QEvent* event) {
  // After Qt has told the screen reader which control has the focus again.
  if (watched == window() && event->type() == QEvent::WindowActivate && !pending_.isEmpty()) {
    QMetaObject::invokeMethod(this, [this] { Show(); }, Qt::QueuedConnection);
  }
  return false;
}

void Announcer::Show() {
  if (pending_.isEmpty()) return;
  hide();
  setAccessibleName(pending_);
  pending_.clear();
  show();
}

}  // namespace lumen::mainwindow
