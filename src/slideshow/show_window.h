// The show window on the desktop: a frameless top-level window with per-pixel alpha,
// placed on a screen and sized by the show itself, so it works with or without a window
// manager.
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <array>

#include "slideshow/lumen_s.h"
#include "slideshow/show_host.h"

class QScreen;

namespace lumen::slideshow {

class ShowWindow : public QWidget, public ShowHost {
 public:
  explicit ShowWindow(QScreen* screen);

  // Form_Load, then shows the window and runs until the show has closed (a modal show).
  void Run(Lumen_S& show);

  PixelSize Screen() override;
  PixelSize ClientSize() override;
  bool SetWindowSize(int width, int height) override;
  void SetColorKey(platform::gdi::COLORREF key) override;
  void Present(const platform::gdi::Surface& image) override;
  void SetTimerEnabled(int timer, bool enabled) override;
  bool TimerEnabled(int timer) override;
  void Sleep(int milliseconds) override;
  void CloseWindow() override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Tick(int timer);
  void DeliverPendingTicks();

  QScreen* screen_;
  Lumen_S* show_ = nullptr;
  QImage frame_;  // the frame last presented, alpha 0 where it matches the key
  std::optional<platform::gdi::COLORREF> key_;
  std::array<QTimer, 4> timers_;  // 1..3 used
  std::array<bool, 4> pendingTicks_{};
  bool waiting_ = false;
  bool closeRequestedWhileWaiting_ = false;
  bool closed_ = false;
  QElapsedTimer sinceLastPresent_;
};

}  // namespace lumen::slideshow
