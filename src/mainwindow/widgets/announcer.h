// What a screen reader should say that no control's focus says (a folder chosen): a
// notification with no pixels of its own, shown again with each new text. Orca speaks a
// notification as it appears.
#pragma once

#include <QWidget>

namespace lumen::mainwindow {

class Announcer : public QWidget {
  Q_OBJECT

 public:
  explicit Announcer(QWidget* parent);
  void Say(const QString& text);
};

}  // namespace lumen::mainwindow
