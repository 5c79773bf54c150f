// The option panel's clickable pieces: the 13 x 13 picture showing an option's mark, and
// the label beside it. Both answer a left click (press and release on them) with Click.
#pragma once

#include <QLabel>
#include <QWidget>

namespace lumen::mainwindow {

class OptionPicture : public QWidget {
  Q_OBJECT

 public:
  explicit OptionPicture(QWidget* parent);
  bool Selected() const { return selected_; }
  void SetSelected(bool selected);

 signals:
  void Click();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool selected_ = false;
};

class ClickLabel : public QLabel {
  Q_OBJECT

 public:
  ClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

 signals:
  void Click();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace lumen::mainwindow
