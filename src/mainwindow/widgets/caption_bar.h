// The main window's own title bar, for desktops that draw none (GNOME and Weston on
// Wayland): the title, minimise and close, and a drag on it moves the window. Qt's
// stand-in would offer to maximise a window of fixed size, which then does nothing.
#pragma once

#include <QWidget>

namespace lumen::mainwindow {

class CaptionBar : public QWidget {
 public:
  static constexpr int kHeight = 30;
  static constexpr QRgb kColour = 0x0054E3;  // the blue of Windows XP's captions

  explicit CaptionBar(QWidget* window);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace lumen::mainwindow
