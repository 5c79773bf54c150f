// The show window on the desktop: a frameless full-screen window with per-pixel alpha.
// The show's own window (1.5 x the screen's height, centred) is drawn in its middle and
// the rest is the background, so every window manager and compositor stacks it above
// its panels and hands it the keyboard, as it does for any full-screen window.
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "slideshow/lumen_s.h"
#include "slideshow/show_host.h"
#include "slideshow/timer_schedule.h"

class QEventLoop;
class QScreen;

namespace lumen::slideshow {

class LayerSurface;

class ShowWindow : public QWidget, public ShowHost {
 public:
  // On a Wayland desktop that offers the overlay layer, the show is drawn there (see
  // LayerSurface) on the output the compositor chooses, and `screen` only stands in until
  // then; elsewhere it opens full screen on `screen`.
  explicit ShowWindow(QScreen* screen);
  ~ShowWindow() override;

  // Form_Load, then shows the window and runs until the show has closed (a modal show).
  void Run(Lumen_S& show);

  PixelSize Screen() override;
  double Scale() override;
  PixelSize ClientSize() override;
  bool SetWindowSize(int width, int height) override;
  void SetColorKey(platform::gdi::COLORREF key) override;
  void Present(const platform::gdi::Surface& image) override;
  void SetTimerEnabled(ShowTimer timer, bool enabled) override;
  bool TimerEnabled(ShowTimer timer) override;
  bool Sleep(int milliseconds) override;
  void CloseWindow() override;
  void PictureShown(const std::string& path) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Delivers the keys held back by a wait, then at most one pending tick, and arms the
  // wake-up for what comes next.
  void Pump();
  void ArmWake();
  void KeyUp(int code);
  // A key released on the show: during the wait Esc ends it and the arrows are held back;
  // otherwise it acts at once.
  void KeyReleased(int code);
  // Any request to close the show (the desktop's, or the show's own); false when it only
  // ended the automatic wait (the show then closes itself).
  bool CloseRequested();
  void RunOnLayer();
  // With LUMENSHOW_TRACE set, each key acted on and each automatic turn as a stderr line.
  void Trace(const char* what, int code);
  TimerSchedule::Nanoseconds Now() const { return clock_.nsecsElapsed(); }

  QScreen* screen_;
  std::unique_ptr<LayerSurface> layer_;
  PixelSize inner_;  // the show's window inside the full-screen one, in device pixels
  Lumen_S* show_ = nullptr;
  QImage frame_;  // the frame last presented, alpha 0 where it matches the key
  QRgb surround_ = 0;  // what lies around the show's window: the background colour, or see-through
  std::optional<platform::gdi::COLORREF> key_;
  QElapsedTimer clock_;
  TimerSchedule timers_;
  QTimer wake_;  // single shot: when the next timer falls due, or at once for a pending one
  bool waiting_ = false;
  bool waitInterrupted_ = false;
  QEventLoop* waitLoop_ = nullptr;
  std::vector<int> heldKeys_;  // released during a wait; they act after it, in order
  bool closed_ = false;
  bool pumping_ = false;
  bool trace_ = false;
  QElapsedTimer sinceLastPresent_;
};

}  // namespace lumen::slideshow
