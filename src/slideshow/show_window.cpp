#include "slideshow/show_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QThread>

#include "platform/rounding.h"

namespace lumen::slideshow {

namespace gdi = platform::gdi;

ShowWindow::ShowWindow(QScreen* screen) : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), screen_(screen) {
  setWindowTitle("LumenShow");
  setAttribute(Qt::WA_TranslucentBackground);  // an ARGB window: the key's pixels see through
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::StrongFocus);
  setWindowModality(Qt::ApplicationModal);  // the main window waits behind the show
  setScreen(screen_);
  const int periods[] = {0, 1000, 200, 1000};
  for (int t = 1; t <= 3; ++t) {
    timers_[t].setInterval(periods[t]);
    connect(&timers_[t], &QTimer::timeout, this, [this, t] { Tick(t); });
  }
}

void ShowWindow::Run(Lumen_S& show) {
  show_ = &show;
  show.Form_Load();
  if (closed_) return;
  QWidget::show();
  activateWindow();
  setFocus();
  while (!closed_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

PixelSize ShowWindow::Screen() {
  const qreal ratio = screen_->devicePixelRatio();
  const QSize size = screen_->geometry().size() * ratio;
  return {size.width(), size.height()};
}

PixelSize ShowWindow::ClientSize() {
  const QSize size = this->size() * devicePixelRatio();
  return {size.width(), size.height()};
}

bool ShowWindow::SetWindowSize(int width, int height) {
  if (isMaximized() || isFullScreen()) return false;
  const qreal ratio = screen_->devicePixelRatio();
  const QRect area = screen_->geometry();
  const int w = platform::RoundHalfEven(width / ratio), h = platform::RoundHalfEven(height / ratio);
  // Centred on its screen; the show centres its page in the window.
  setGeometry(area.x() + (area.width() - w) / 2, area.y() + (area.height() - h) / 2, w, h);
  return true;
}

void ShowWindow::SetColorKey(gdi::COLORREF key) { key_ = key; }

void ShowWindow::Present(const gdi::Surface& image) {
  if (frame_.width() != image.Width() || frame_.height() != image.Height()) {
    frame_ = QImage(image.Width(), image.Height(), QImage::Format_ARGB32_Premultiplied);
    frame_.setDevicePixelRatio(devicePixelRatio());
  }
  const uint32_t keyPixel = key_ ? gdi::PixelFromColorRef(*key_) : 0;
  for (int y = 0; y < image.Height(); ++y) {
    const uint32_t* from = image.Row(y);
    auto* to = reinterpret_cast<uint32_t*>(frame_.scanLine(y));
    if (!key_) {
      std::copy(from, from + image.Width(), to);
      continue;
    }
    for (int x = 0; x < image.Width(); ++x) to[x] = from[x] == keyPixel ? 0u : from[x];
  }
  repaint();
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
  if (show_ != nullptr && !closed_) show_->Form_Resize();
}

void ShowWindow::keyReleaseEvent(QKeyEvent* event) {
  // A held key repeats press and release; only the real release turns a page.
  if (event->isAutoRepeat() || show_ == nullptr) return;
  int code = 0;
  switch (event->key()) {
    case Qt::Key_Escape: code = kKeyEscape; break;
    case Qt::Key_Left: code = kKeyLeft; break;
    case Qt::Key_Right: code = kKeyRight; break;
    default: return;
  }
  show_->Form_KeyUp(code, static_cast<int>(event->modifiers()));
}

void ShowWindow::closeEvent(QCloseEvent* event) {
  if (waiting_) {  // a close during a wait acts when the wait ends
    closeRequestedWhileWaiting_ = true;
    event->ignore();
    return;
  }
  if (show_ != nullptr) {
    show_->Form_QueryUnload();
    show_->Form_Unload();
  }
  for (QTimer& timer : timers_) timer.stop();
  closed_ = true;
  event->accept();
}

void ShowWindow::CloseWindow() {
  if (!closed_) close();
}

void ShowWindow::SetTimerEnabled(int timer, bool enabled) {
  QTimer& t = timers_.at(static_cast<size_t>(timer));
  if (enabled && !t.isActive()) t.start();
  if (!enabled) {
    t.stop();
    pendingTicks_.at(static_cast<size_t>(timer)) = false;
  }
}

bool ShowWindow::TimerEnabled(int timer) { return timers_.at(static_cast<size_t>(timer)).isActive(); }

void ShowWindow::Tick(int timer) {
  if (waiting_) {  // one tick afterwards, however often it fell due meanwhile
    pendingTicks_[static_cast<size_t>(timer)] = true;
    return;
  }
  if (show_ == nullptr || closed_) return;
  if (timer == 1) show_->Timer1_Timer();
  if (timer == 2) show_->Timer2_Timer();
  if (timer == 3) show_->Timer3_Timer();
}

void ShowWindow::Sleep(int milliseconds) {
  if (milliseconds > 0) {
    // Paints and the desktop's liveness checks go on; keys, clicks, ticks and closes wait.
    waiting_ = true;
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    waiting_ = false;
  }
  QTimer::singleShot(0, this, [this] { DeliverPendingTicks(); });
}

void ShowWindow::DeliverPendingTicks() {
  if (closeRequestedWhileWaiting_) {
    closeRequestedWhileWaiting_ = false;
    close();
  }
  for (int t = 1; t <= 3; ++t) {
    if (pendingTicks_[static_cast<size_t>(t)] && timers_[static_cast<size_t>(t)].isActive()) {
      pendingTicks_[static_cast<size_t>(t)] = false;
      Tick(t);
    }
  }
}

}  // namespace lumen::slideshow
