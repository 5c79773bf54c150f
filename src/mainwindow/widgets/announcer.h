// What a screen reader should say that no control's focus says (a folder chosen): a
// notification with no pixels of its own, shown again with each new text. Orca speaks a
// notification as it appears — but only in the active window, so a text said while a
// dialog still has the screen waits until the window is active again.
#pragma once

#include <QString>
#include <QWidget>

namespace lumen::mainwindow {

class Announcer : public QWidget {
  Q_OBJECT

 public:
  explicit Announcer(QWidget* parent);
  void Say(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Show();
  QString pending_;
};

}  // namespace lumen::mainwindow
