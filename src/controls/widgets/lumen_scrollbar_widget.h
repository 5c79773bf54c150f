// LumenScrollBar on the desktop: Qt events become window messages (mouse coordinates
// packed into lParam), Qt timers deliver WM_TIMER with the timer id. It takes focus from
// Tab only (a click leaves focus where it was) and then answers the keys a Windows scroll
// bar answers.
#pragma once

#include <QTimer>
#include <QWidget>
#include <map>
#include <memory>

#include "controls/lumen_scrollbar.h"
#include "controls/widgets/pointer_moves.h"

namespace lumen::controls {

class LumenScrollBarWidget : public QWidget, private ScrollBarHost {
  Q_OBJECT

 public:
  explicit LumenScrollBarWidget(QWidget* parent = nullptr);
  ~LumenScrollBarWidget() override;

  LumenScrollBar& Bar() { return *bar_; }
  // What the bar shows now (a WM_PAINT is sent first).
  QImage Snapshot();

 signals:
  void Change();
  void Scroll();
  void ThemeChanged();
  void MouseDown(int button, int shift, float x, float y);
  void MouseUp(int button, int shift, float x, float y);
  // StyleCustom: paint the element into `image` (the bar's canvas) yourself.
  void OnPaint(QImage* image, int x1, int y1, int x2, int y2, int part, int state);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  QSize sizeHint() const override { return {81, 17}; }

 private:
  int ClientWidth() override { return width(); }
  int ClientHeight() override { return height(); }
  void Invalidate() override { update(); }
  void SetTimer(int id, int milliseconds) override;
  void KillTimer(int id) override;
  void CursorPosInClient(int& x, int& y) override;
  void InjectLeftButtonDown() override;
  void SetWindowEnabled(bool enabled) override { QWidget::setEnabled(enabled); }
  platform::LRESULT Send(platform::UINT message, platform::WPARAM wParam, QPointF at);
  static platform::WPARAM Flags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

  std::unique_ptr<LumenScrollBar> bar_;
  PointerMoves moves_{this, [this](QPointF at, Qt::MouseButtons b, Qt::KeyboardModifiers m) {
                        Send(platform::WM_MOUSEMOVE, Flags(b, m), at);
                      }};
  std::map<int, std::unique_ptr<QTimer>> timers_;
};

}  // namespace lumen::controls
