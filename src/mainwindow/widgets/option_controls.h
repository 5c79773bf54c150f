// The option panel's clickable pieces: the 13 x 13 picture showing an option's mark, the
// label beside it, and the guide link. Each answers a left click (press and release on
// it) with Click. A group's chosen picture is its one Tab stop: arrows ask for the next
// choice (Step), Space chooses; its label shows the focus cue.
#pragma once

#include <QLabel>
#include <QWidget>

namespace lumen::mainwindow {

class ClickLabel : public QLabel {
  Q_OBJECT

 public:
  ClickLabel(const QString& text, QWidget* parent);
  // The mark whose focus cue this label shows (not a buddy: a screen reader would then
  // read the label as the mark's second name).
  void SetMark(QWidget* mark) { mark_ = mark; }

 signals:
  void Click();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QWidget* mark_ = nullptr;
};

class OptionPicture : public QWidget {
  Q_OBJECT

 public:
  OptionPicture(QWidget* parent, ClickLabel* label);
  bool Selected() const { return selected_; }
  void SetSelected(bool selected);
  ClickLabel* Label() const { return label_; }

 signals:
  void Click();
  void Step(int delta);  // -1 for Left/Up, +1 for Right/Down

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  ClickLabel* label_;
  bool selected_ = false;
};

// lbl_URL: reached by Tab, opened by Return or Space as by a click. Its text is a plain
// label inside it: a QLabel that takes focus lays its text out differently.
class LinkLabel : public QWidget {
  Q_OBJECT

 public:
  LinkLabel(const QString& text, QWidget* parent);
  QString text() const { return text_->text(); }

 signals:
  void Click();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  QLabel* text_;
};

}  // namespace lumen::mainwindow
