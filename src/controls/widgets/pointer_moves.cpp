#include "controls/widgets/pointer_moves.h"

#include <QCursor>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>

namespace lumen::controls {

void PointerMoves::MoveIfNew(QPointF at, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  if (seenAt_ && *seenAt_ == at) return;
  seenAt_ = at;
  deliver_(at, buttons, modifiers);
}

void PointerMoves::BeforePress(const QMouseEvent* press) {
  // The move comes before the button went down.
  MoveIfNew(press->position(), press->buttons() & ~press->button(), press->modifiers());
}

void PointerMoves::Entered(const QEnterEvent* enter) {
  MoveIfNew(enter->position(), QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers());
}

void PointerMoves::FormActivated() {
  const QPointF at = widget_->mapFromGlobal(QCursor::pos());
  if (!widget_->rect().contains(at.toPoint())) return;
  MoveIfNew(at, QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers());
}

}  // namespace lumen::controls
