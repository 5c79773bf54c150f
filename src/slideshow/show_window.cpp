#include "slideshow/show_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QThread>
#include <vector>

#include "platform/debug_log.h"
#include "platform/gdi/qt_image.h"
#include "slideshow/show_accessible.h"
#include "slideshow/wayland/layer_surface.h"

namespace lumen::slideshow {

namespace gdi = platform::gdi;

namespace {

bool OnWayland() { return QGuiApplication::platformName().startsWith("wayland"); }

}  // namespace

ShowWindow::ShowWindow(QScreen* screen)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), screen_(screen) {
  MakeShowAccessible(this);
  setWindowTitle("LumenShow");
  setAccessibleName("LumenShow");
  setAttribute(Qt::WA_TranslucentBackground);  // an ARGB window: the key's pixels see through
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::StrongFocus);
  setWindowModality(Qt::ApplicationModal);  // the main window waits behind the show
  setScreen(screen_);
  if (OnWayland()) {
    layer_ = LayerSurface::Open({.keyReleased =
                                     [this](int key) {
                                       KeyReleased(key == LayerSurface::kEscape  ? kKeyEscape
                                                   : key == LayerSurface::kLeft  ? kKeyLeft
                                                   : key == LayerSurface::kRight ? kKeyRight
                                                                                 : 0);
                                     },
                                 .closed = [this] { CloseRequested(); }});
    for (QScreen* candidate : QGuiApplication::screens()) {
      if (layer_ != nullptr && candidate->name().toStdString() == layer_->OutputName()) screen_ = candidate;
    }
  }
  clock_.start();
  trace_ = !qEnvironmentVariableIsEmpty("LUMENSHOW_TRACE");
  wake_.setSingleShot(true);
  wake_.setTimerType(Qt::PreciseTimer);
  connect(&wake_, &QTimer::timeout, this, [this] { Pump(); });
}

ShowWindow::~ShowWindow() { ForgetWindow(this); }

void ShowWindow::Run(Lumen_S& show) {
  show_ = &show;
  show.Form_Load();
  if (closed_) return;
  if (layer_ != nullptr) {
    RunOnLayer();
    return;
  }
  // An unmanaged (override-redirect) window would stay above the panels too, but window
  // managers give it no keyboard focus (KWin never does) and no click brings it back.
  setGeometry(screen_->geometry());
  if (show.SeeThrough() && OnWayland()) {
    // No overlay layer (GNOME, Weston): these draw black behind a full-screen surface, so a
    // see-through show fills the desktop's free area instead, beside its top bar or panel.
    showMaximized();
  } else {
    showFullScreen();
  }
  activateWindow();
  setFocus();
  while (!closed_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void ShowWindow::RunOnLayer() {
  // As a modal window would: the other windows take no input while the show runs.
  std::vector<QPointer<QWidget>> paused;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window != this && window->isVisible() && window->isEnabled()) {
      window->setEnabled(false);
      paused.emplace_back(window);
    }
  }
  show_->Form_Resize();  // the surface has its size from the start: the first page at once
  while (!closed_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  layer_.reset();  // off the screen with the show
  for (auto& window : paused) {
    if (window != nullptr) window->setEnabled(true);
  }
}

PixelSize ShowWindow::Screen() {
  const QSize size = layer_ != nullptr ? layer_->LogicalSize() * layer_->Scale()
                                       : screen_->geometry().size() * screen_->devicePixelRatio();
  return {size.width(), size.height()};
}

double ShowWindow::Scale() { return layer_ != nullptr ? layer_->Scale() : screen_->devicePixelRatio(); }

PixelSize ShowWindow::ClientSize() { return inner_; }

bool ShowWindow::SetWindowSize(int width, int height) {
  // The show's window, inside the full-screen one: centred, never larger than the screen.
  const PixelSize screen = Screen();
  const PixelSize wanted{std::min(width, screen.width), std::min(height, screen.height)};
  if (wanted == inner_) return true;
  inner_ = wanted;
  if (show_ != nullptr && !closed_) show_->Form_Resize();  // a size change is a resize, at once
  return true;
}

void ShowWindow::SetColorKey(gdi::COLORREF key) { key_ = key; }

void ShowWindow::Present(const gdi::Surface& image) {
  // The show's window stands in the middle; around it the desktop shows through, or the
  // background colour fills the screen (never black strips beside a coloured show).
  const QSize device = layer_ != nullptr ? layer_->LogicalSize() * layer_->Scale() : size() * devicePixelRatio();
  const gdi::COLORREF colour = image.BackgroundColor();
  const QRgb surround = key_ ? 0 : qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
  if (frame_.size() != device || surround != surround_) {
    frame_ = QImage(device, QImage::Format_ARGB32_Premultiplied);
    frame_.setDevicePixelRatio(devicePixelRatio());
    frame_.fill(surround);
    surround_ = surround;
  }
  const QPoint at((device.width() - image.Width()) / 2, (device.height() - image.Height()) / 2);
  gdi::PutKeyed(image, key_, frame_, at);
  if (layer_ != nullptr) {
    layer_->Present(frame_);
  } else {
    repaint();
  }
  // Paced to the display: one frame per refresh, so every frame of a turn is seen.
  const double refresh = screen_->refreshRate() > 1 ? screen_->refreshRate() : 60.0;
  const qint64 interval = static_cast<qint64>(1e9 / refresh);
  if (sinceLastPresent_.isValid() && sinceLastPresent_.nsecsElapsed() < interval) {
    QThread::usleep(static_cast<unsigned long>((interval - sinceLastPresent_.nsecsElapsed()) / 1000));
  }
  sinceLastPresent_.start();
}

void ShowWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  if (frame_.isNull()) {
    painter.fillRect(rect(), Qt::transparent);
  } else {
    painter.drawImage(0, 0, frame_);
  }
}

void ShowWindow::resizeEvent(QResizeEvent*) {
  frame_ = {};  // the surround is drawn anew at the next present
  if (show_ != nullptr && !closed_) show_->Form_Resize();
}

namespace {

int ShowKeyCode(const QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape: return kKeyEscape;
    case Qt::Key_Left: return kKeyLeft;
    case Qt::Key_Right: return kKeyRight;
    default: return 0;
  }
}

}  // namespace

void ShowWindow::keyReleaseEvent(QKeyEvent* event) {
  // A held key repeats press and release; only the real release turns a page.
  if (!event->isAutoRepeat()) KeyReleased(ShowKeyCode(event));
}

void ShowWindow::KeyReleased(int code) {
  if (show_ == nullptr || code == 0) return;
  if (!waiting_) {
    KeyUp(code);
  } else if (code == kKeyEscape) {
    waitInterrupted_ = true;
    waitLoop_->quit();
  } else {
    heldKeys_.push_back(code);
  }
}

void ShowWindow::KeyUp(int code) {
  if (show_->Exited()) return;
  show_->Form_KeyUp(code, 0);  // the shift state is not used
  Trace("key", code);
}

void ShowWindow::Trace(const char* what, int code) {
  if (trace_) {
    platform::DebugLog(std::string("show: ") + what + " " + std::to_string(code) + ", position " +
                       std::to_string(show_->CurrentPos()) + (show_->Exited() ? ", ended" : ""));
  }
}

void ShowWindow::closeEvent(QCloseEvent* event) { event->setAccepted(CloseRequested()); }

bool ShowWindow::CloseRequested() {
  if (waiting_) {  // a close ends the wait at once; the show then closes itself
    waitInterrupted_ = true;
    waitLoop_->quit();
    return false;
  }
  if (show_ != nullptr) {
    show_->Form_QueryUnload();
    show_->Form_Unload();
  }
  wake_.stop();
  closed_ = true;
  return true;
}

void ShowWindow::mousePressEvent(QMouseEvent*) {
  // Another window took the keyboard during the show: a click on the show gives it back.
  activateWindow();
  setFocus(Qt::MouseFocusReason);
}

void ShowWindow::focusInEvent(QFocusEvent* event) {
  // The first page usually stands before the window has the keyboard; the screen reader
  // hears it once it has, after Qt has told it the window itself took the focus.
  QMetaObject::invokeMethod(this, [this] { FocusPage(this); }, Qt::QueuedConnection);
  QWidget::focusInEvent(event);
}

void ShowWindow::PictureShown(const std::string& path) {
  AnnouncePage(this, QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).fileName());
}

void ShowWindow::CloseWindow() {
  if (closed_) return;
  if (layer_ != nullptr) {
    CloseRequested();
  } else {
    close();
  }
}

void ShowWindow::SetTimerEnabled(ShowTimer timer, bool enabled) {
  timers_.SetEnabled(timer, enabled, Now());
  if (!waiting_) ArmWake();
}

bool ShowWindow::TimerEnabled(ShowTimer timer) { return timers_.Enabled(timer); }

void ShowWindow::ArmWake() {
  if (closed_) return;
  timers_.Advance(Now());
  if (!heldKeys_.empty() || timers_.HasPending()) {
    wake_.start(0);
  } else if (auto due = timers_.NextDue()) {
    // Rounded up, so the wake-up never comes before the timer is due.
    wake_.start(static_cast<int>((*due - Now() + 999'999) / 1'000'000));
  } else {
    wake_.stop();
  }
}

void ShowWindow::Pump() {
  if (waiting_ || closed_ || pumping_ || show_ == nullptr) return;
  pumping_ = true;
  // Windows hands out input before timer messages: the keys held back by a wait first,
  // in order, then whatever input has reached the program meanwhile (keys released during
  // a turn), and only then a tick that fell due.
  std::vector<int> keys;
  keys.swap(heldKeys_);
  for (int code : keys) {
    if (!closed_) KeyUp(code);
  }
  if (!closed_) QCoreApplication::processEvents(QEventLoop::AllEvents);
  pumping_ = false;
  if (waiting_ || closed_) return;
  timers_.Advance(Now());
  if (auto timer = timers_.TakePending(); timer && !closed_) {
    if (*timer == ShowTimer::Mp3Poll) show_->Timer1_Timer();
    if (*timer == ShowTimer::CdPoll) show_->Timer2_Timer();
    if (*timer == ShowTimer::AutoTurn) {
      show_->Timer3_Timer();
      Trace("tick", 3);
    }
  }
  // A timer that fell due during that handler (a turn and its wait) ticks right away.
  ArmWake();
}

bool ShowWindow::eventFilter(QObject* watched, QEvent* event) {
  if (!waiting_ || watched != this) return false;
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (event->type() == QEvent::KeyRelease && !key->isAutoRepeat()) KeyReleased(ShowKeyCode(key));
  return true;  // no key acts during the wait
}

bool ShowWindow::Sleep(int milliseconds) {
  if (milliseconds <= 0) return false;
  // Paints and the desktop's liveness checks go on; keys and ticks wait for its end,
  // but Esc and a close request end it at once. Clicks do nothing in this window.
  QEventLoop loop;
  waitLoop_ = &loop;
  waiting_ = true;
  waitInterrupted_ = false;
  installEventFilter(this);
  QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
  removeEventFilter(this);
  waiting_ = false;
  waitLoop_ = nullptr;
  if (waitInterrupted_) heldKeys_.clear();  // the show ends: nothing more acts
  return waitInterrupted_;
}

}  // namespace lumen::slideshow
