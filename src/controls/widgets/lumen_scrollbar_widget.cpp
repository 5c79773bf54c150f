#include "controls/widgets/lumen_scrollbar_widget.h"

#include <QAccessible>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "controls/widgets/accessible_controls.h"
#include "controls/widgets/focus_cue.h"
#include "controls/widgets/qt_surface.h"

namespace lumen::controls {
platform::WPARAM LumenScrollBarWidget::Flags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  platform::WPARAM w = 0;
  if (buttons & Qt::LeftButton) w |= platform::MK_LBUTTON;
  if (buttons & Qt::RightButton) w |= platform::MK_RBUTTON;
  if (buttons & Qt::MiddleButton) w |= platform::MK_MBUTTON;
  if (modifiers & Qt::ShiftModifier) w |= platform::MK_SHIFT;
  if (modifiers & Qt::ControlModifier) w |= platform::MK_CONTROL;
  return w;
}

LumenScrollBarWidget::LumenScrollBarWidget(QWidget* parent) : QWidget(parent) {
  InstallAccessibleControls();
  setMouseTracking(true);
  setFocusPolicy(Qt::TabFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(sizeHint());
  bar_ = std::make_unique<LumenScrollBar>(static_cast<ScrollBarHost&>(*this));
  auto announce = [this] {
    QAccessibleValueChangeEvent event(this, bar_->Value());
    QAccessible::updateAccessibility(&event);
  };
  bar_->Change = [this, announce] {
    announce();
    emit Change();
  };
  bar_->Scroll = [this, announce] {
    announce();
    emit Scroll();
  };
  bar_->ThemeChanged = [this] { emit ThemeChanged(); };
  bar_->MouseDown = [this](int b, int s, float x, float y) { emit MouseDown(b, s, x, y); };
  bar_->MouseUp = [this](int b, int s, float x, float y) { emit MouseUp(b, s, x, y); };
  bar_->OnPaint = [this](platform::gdi::Surface& surface, int x1, int y1, int x2, int y2, int part, int state) {
    QImage image = AsQImage(surface);
    emit OnPaint(&image, x1, y1, x2, y2, part, state);
  };
  bar_->ReadProperties();
}

LumenScrollBarWidget::~LumenScrollBarWidget() {
  bar_.reset();
  timers_.clear();
}

platform::LRESULT LumenScrollBarWidget::Send(platform::UINT message, platform::WPARAM wParam, QPointF at) {
  const int x = static_cast<int>(std::floor(at.x())), y = static_cast<int>(std::floor(at.y()));
  return bar_->hWnd()->SendMessage(message, wParam, platform::MakeLParam(x, y));
}

QImage LumenScrollBarWidget::Snapshot() {
  bar_->hWnd()->SendMessage(platform::WM_PAINT);
  return AsQImage(const_cast<platform::gdi::Surface&>(bar_->Canvas())).copy();
}

void LumenScrollBarWidget::paintEvent(QPaintEvent*) {
  bar_->hWnd()->SendMessage(platform::WM_PAINT);
  auto& canvas = const_cast<platform::gdi::Surface&>(bar_->Canvas());
  if (canvas.Empty()) return;
  const qreal ratio = devicePixelRatioF();
  QImage image = ScaledForScreen(AsQImage(canvas), ratio);
  if (ratio != 1.0) {
    // The track's one-pixel checkerboard stays one device pixel fine, not uneven blocks.
    for (const RECT& track : {bar_->Geometry().trackBefore, bar_->Geometry().trackAfter}) {
      if (track.Width() < 2 || track.Height() < 1) continue;
      const uint32_t even = canvas.Row(track.top)[track.left], odd = canvas.Row(track.top)[track.left + 1];
      const int x0 = qRound(track.left * ratio), x1 = qRound(track.right * ratio);
      const int y0 = qRound(track.top * ratio), y1 = qRound(track.bottom * ratio);
      for (int y = y0; y < y1 && y < image.height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = x0; x < x1 && x < image.width(); ++x) row[x] = (x - x0 + y - y0) % 2 == 0 ? even : odd;
      }
    }
  }
  QPainter painter(this);
  painter.drawImage(0, 0, image);
  if (ShowsKeyboardFocus(*this)) {
    const RECT& thumb = bar_->Geometry().thumb;
    const QRect around = bar_->Geometry().trackVisible
                             ? QRect(thumb.left, thumb.top, thumb.Width(), thumb.Height()).adjusted(2, 2, -2, -2)
                             : rect().adjusted(1, 1, -1, -1);
    PaintFocusCue(painter, around);
  }
}

void LumenScrollBarWidget::resizeEvent(QResizeEvent*) {
  bar_->hWnd()->SendMessage(platform::WM_SIZE, 0, platform::MakeLParam(width(), height()));
}

// Qt holds the mouse for a widget from press to release: moves and the release outside
// it still arrive here, as with SetCapture.
void LumenScrollBarWidget::mousePressEvent(QMouseEvent* e) {
  moves_.BeforePress(e);
  if (e->button() == Qt::LeftButton) Send(platform::WM_LBUTTONDOWN, Flags(e->buttons(), e->modifiers()), e->position());
}

void LumenScrollBarWidget::mouseMoveEvent(QMouseEvent* e) {
  moves_.Moved(e->position());
  Send(platform::WM_MOUSEMOVE, Flags(e->buttons(), e->modifiers()), e->position());
}

void LumenScrollBarWidget::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) Send(platform::WM_LBUTTONUP, Flags(e->buttons(), e->modifiers()), e->position());
}

void LumenScrollBarWidget::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) {
    Send(platform::WM_LBUTTONDBLCLK, Flags(e->buttons(), e->modifiers()), e->position());
  }
}

// A Windows scroll bar's keys: arrows one small step, Page Up/Down one large step,
// Home/End to the ends; each raises Change as a press on the bar would.
void LumenScrollBarWidget::keyPressEvent(QKeyEvent* e) {
  LumenScrollBar& bar = *bar_;
  switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up: bar.DecreaseValue(bar.SmallChange(), false); break;
    case Qt::Key_Right:
    case Qt::Key_Down: bar.IncreaseValue(bar.SmallChange(), false); break;
    case Qt::Key_PageUp: bar.DecreaseValue(bar.LargeChange(), false); break;
    case Qt::Key_PageDown: bar.IncreaseValue(bar.LargeChange(), false); break;
    case Qt::Key_Home: bar.SetValue(bar.Min()); break;
    case Qt::Key_End: bar.SetValue(bar.Max()); break;
    default: QWidget::keyPressEvent(e); return;
  }
  e->accept();
}

void LumenScrollBarWidget::focusInEvent(QFocusEvent*) { update(); }
void LumenScrollBarWidget::focusOutEvent(QFocusEvent*) { update(); }

void LumenScrollBarWidget::changeEvent(QEvent* e) {
  // Losing the window in mid-press cancels the press, as WM_CANCELMODE does.
  if (e->type() == QEvent::ActivationChange && !window()->isActiveWindow()) {
    moves_.Forget();
    bar_->hWnd()->SendMessage(platform::WM_CANCELMODE);
  } else if (e->type() == QEvent::ActivationChange) {
    moves_.FormActivated();
  }
  if (e->type() == QEvent::PaletteChange) bar_->hWnd()->SendMessage(platform::WM_SYSCOLORCHANGE);
  QWidget::changeEvent(e);
}

void LumenScrollBarWidget::enterEvent(QEnterEvent* e) { moves_.Entered(e); }
void LumenScrollBarWidget::leaveEvent(QEvent*) { moves_.Forget(); }

void LumenScrollBarWidget::SetTimer(int id, int milliseconds) {
  auto& timer = timers_[id];
  if (!timer) {
    timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, this,
                     [this, id] { bar_->hWnd()->SendMessage(platform::WM_TIMER, static_cast<platform::WPARAM>(id)); });
  }
  timer->start(milliseconds);
}

void LumenScrollBarWidget::KillTimer(int id) {
  if (auto found = timers_.find(id); found != timers_.end() && found->second) found->second->stop();
}

void LumenScrollBarWidget::CursorPosInClient(int& x, int& y) {
  QPoint p = mapFromGlobal(QCursor::pos());
  x = p.x();
  y = p.y();
}

void LumenScrollBarWidget::InjectLeftButtonDown() {
  // The second click of a double click acts as a press.
  Send(platform::WM_LBUTTONDOWN, platform::MK_LBUTTON, mapFromGlobal(QCursor::pos()));
}

}  // namespace lumen::controls
