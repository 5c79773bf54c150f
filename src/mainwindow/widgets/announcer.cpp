#include "mainwindow/widgets/announcer.h"

#include "mainwindow/widgets/accessible_options.h"

namespace lumen::mainwindow {

Announcer::Announcer(QWidget* parent) : QWidget(parent) {
  InstallAccessibleOptions();
  setObjectName("Announcer");
  setFixedSize(0, 0);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  hide();
}

void Announcer::Say(const QString& text) {
  hide();
  setAccessibleName(text);
  show();
}

}  // namespace lumen::mainwindow
