// The keyboard focus cue of the controls that draw themselves: a dotted rectangle, shown
// only while focus got there by the keyboard, so that the window looks the same at rest
// and after mouse clicks.
#pragma once

#include <QRect>

class QPainter;
class QWidget;

namespace lumen::controls {

// True while `widget` has focus and the window's last focus change came from a key
// (Tab, Shift+Tab, an arrow within a group, an access key).
bool ShowsKeyboardFocus(const QWidget& widget);

// DrawFocusRect's cue: every other pixel of the rectangle's edge inverted.
void PaintFocusCue(QPainter& painter, const QRect& rect);

}  // namespace lumen::controls
