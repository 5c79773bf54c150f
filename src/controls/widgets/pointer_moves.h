// Windows tells a window where the pointer is with WM_MOUSEMOVE whenever the window has
// not seen it there yet: when the pointer enters, before a press at a new place (a tap, a
// warped pointer), and after a window above it closes (its form becomes active again).
// Qt sends a move only when the pointer moves, so a control that learns "the pointer is
// inside" from moves would miss a click. This makes up those moves, once each.
#pragma once

#include <QPointF>
#include <functional>
#include <optional>

class QEnterEvent;
class QMouseEvent;
class QWidget;

namespace lumen::controls {

class PointerMoves {
 public:
  // deliver: hands a move at a point (widget coordinates) to the control, with the buttons
  // held and the modifiers.
  using Deliver = std::function<void(QPointF at, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)>;
  PointerMoves(QWidget* widget, Deliver deliver) : widget_(widget), deliver_(std::move(deliver)) {}

  void Moved(QPointF at) { seenAt_ = at; }  // a real move reached the control
  void BeforePress(const QMouseEvent* press);
  void Entered(const QEnterEvent* enter);
  // The pointer left, or the form lost the foreground: the next place is news again.
  void Forget() { seenAt_.reset(); }
  // The form is active again: a move where the pointer rests, when that is inside.
  void FormActivated();

 private:
  void MoveIfNew(QPointF at, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

  QWidget* widget_;
  Deliver deliver_;
  std::optional<QPointF> seenAt_;
};

}  // namespace lumen::controls
