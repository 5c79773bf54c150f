#include "controls/widgets/lumen_button_widget.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QPainter>
#include <QShortcut>

#include "controls/widgets/accessible_controls.h"
#include "controls/widgets/form_window.h"
#include "controls/widgets/qt_surface.h"

namespace lumen::controls {
namespace {

int ButtonCode(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
  }
}

int ShiftCode(Qt::KeyboardModifiers m) {
  return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

int KeyCode(int key) {
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Space: return 32;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    default: return 0;
  }
}

}  // namespace

LumenButtonWidget::LumenButtonWidget(QWidget* parent) : QWidget(parent) {
  InstallAccessibleControls();
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  resize(sizeHint());
  button_ = std::make_unique<LumenButton>(static_cast<ButtonHost&>(*this));
  button_->Click = [this] { emit Click(); };
  button_->DblClick = [this] { emit DblClick(); };
  button_->MouseMove = [this](int b, int s, float x, float y) { emit MouseMove(b, s, x, y); };
  button_->FormActivate = [this](int32_t& state) { emit FormActivate(state); };
  button_->ReadProperties(FormWindow::For(this), false);
  // A window that is active already sent its activation before this button listened.
  if (window()->isActiveWindow()) FormWindow::For(this)->SendMessage(platform::WM_ACTIVATE, 1);
}

LumenButtonWidget::~LumenButtonWidget() { button_.reset(); }

void LumenButtonWidget::SetCaption(const QString& caption) {
  button_->SetCaption(caption.toStdString());
  QAccessibleEvent event(this, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&event);
}

void LumenButtonWidget::SetDefault(bool isDefault) {
  isDefault_ = isDefault;
  button_->OnAmbientChanged("DisplayAsDefault");
  QAccessible::State changed;
  changed.defaultButton = true;
  QAccessibleStateChangeEvent event(this, changed);
  QAccessible::updateAccessibility(&event);
}

QImage LumenButtonWidget::Snapshot() const {
  const auto& image = button_->Image();
  QImage out(image.Width(), image.Height(), QImage::Format_ARGB32);
  for (int y = 0; y < image.Height(); ++y) {
    auto* to = reinterpret_cast<uint32_t*>(out.scanLine(y));
    for (int x = 0; x < image.Width(); ++x) {
      const bool corner = (x == 0 || x == image.Width() - 1) && (y == 0 || y == image.Height() - 1);
      to[x] = corner ? 0u : image.Row(y)[x];
    }
  }
  return out;
}

void LumenButtonWidget::SetRoundRegion(int w, int h) {
  // The rounded rectangle (0, 0)-(w + 1, h + 1) with 3 x 3 corners leaves out one pixel at
  // each corner of the client area.
  QRegion region(0, 0, w, h);
  for (QPoint corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)}) {
    region -= QRegion(corner.x(), corner.y(), 1, 1);
  }
  setMask(region);
}

void LumenButtonWidget::DrawCaption(platform::gdi::Surface& s, const std::string& caption, const RECT& rect,
                                    COLORREF colour, const FontSpec& font) {
  // At 1x the text goes into the image, pixel for pixel as always; on a scaled screen the
  // image is enlarged and the text painted over it at the screen's own resolution.
  if (devicePixelRatioF() == 1.0) {
    deviceCaption_.reset();
    DrawCaptionText(s, caption, rect, colour, font);
  } else {
    deviceCaption_ = Caption{caption, rect, colour, font};
  }
}

void LumenButtonWidget::ProcessPendingMessages() { QCoreApplication::processEvents(); }

void LumenButtonWidget::SetAccessKey(const std::string& key) {
  delete accessKey_;
  accessKey_ = nullptr;
  if (key.empty()) return;
  accessKey_ = new QShortcut(QKeySequence(QString("Alt+") + QString::fromStdString(key).toUpper()), this);
  accessKey_->setContext(Qt::WindowShortcut);
  connect(accessKey_, &QShortcut::activated, this, [this] { button_->OnAccessKey(); });
}

void LumenButtonWidget::ClientOriginOnScreen(int& x, int& y) {
  QPoint origin = mapToGlobal(QPoint(0, 0));
  x = origin.x();
  y = origin.y();
}

void LumenButtonWidget::SetCursorPos(int x, int y) { QCursor::setPos(x, y); }

void LumenButtonWidget::paintEvent(QPaintEvent*) {
  auto& image = const_cast<platform::gdi::Surface&>(button_->Image());
  if (image.Empty()) return;
  QPainter painter(this);
  painter.drawImage(0, 0, ScaledForScreen(AsQImage(image), devicePixelRatioF()));
  if (deviceCaption_) PaintCaption(painter, deviceCaption_->text, deviceCaption_->rect, deviceCaption_->colour,
                                   deviceCaption_->font);
}

void LumenButtonWidget::resizeEvent(QResizeEvent*) { button_->OnResize(); }

void LumenButtonWidget::mousePressEvent(QMouseEvent* e) {
  moves_.BeforePress(e);
  button_->OnMouseDown(ButtonCode(e->button()), ShiftCode(e->modifiers()), e->position().x(), e->position().y());
}

void LumenButtonWidget::DeliverMove(QPointF at, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  const int held = (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0);
  button_->OnMouseMove(held, ShiftCode(modifiers), at.x(), at.y());
}

void LumenButtonWidget::mouseMoveEvent(QMouseEvent* e) {
  moves_.Moved(e->position());
  DeliverMove(e->position(), e->buttons(), e->modifiers());
}

void LumenButtonWidget::mouseReleaseEvent(QMouseEvent* e) {
  button_->OnMouseUp(ButtonCode(e->button()), ShiftCode(e->modifiers()), e->position().x(), e->position().y());
}

void LumenButtonWidget::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) button_->OnDblClick();
}

void LumenButtonWidget::keyPressEvent(QKeyEvent* e) {
  if (int code = KeyCode(e->key()); code != 0 && !e->isAutoRepeat()) {
    button_->OnKeyDown(code);
  } else if (code == 0) {
    QWidget::keyPressEvent(e);
  }
}

void LumenButtonWidget::keyReleaseEvent(QKeyEvent* e) {
  if (!e->isAutoRepeat()) button_->OnKeyUp(KeyCode(e->key()));
}

void LumenButtonWidget::focusInEvent(QFocusEvent*) { button_->OnGotFocus(); }
void LumenButtonWidget::focusOutEvent(QFocusEvent*) { button_->OnLostFocus(); }

void LumenButtonWidget::enterEvent(QEnterEvent* e) { moves_.Entered(e); }

void LumenButtonWidget::changeEvent(QEvent* e) {
  if (e->type() == QEvent::ActivationChange) {
    if (window()->isActiveWindow()) {
      moves_.FormActivated();
    } else {
      moves_.Forget();
    }
  }
  QWidget::changeEvent(e);
}

void LumenButtonWidget::leaveEvent(QEvent*) {
  moves_.Forget();
  if (!leaveWanted_) return;
  leaveWanted_ = false;
  button_->hWnd()->SendMessage(platform::WM_MOUSELEAVE);
}

}  // namespace lumen::controls
