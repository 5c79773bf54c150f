// A screen without a display: the show runs on it exactly as on the desktop, and every
// frame it presents goes to a callback (the frames subcommand writes them as PNG files;
// the tests look at them). Time is virtual: a present takes one refresh of a 60 Hz
// display, a wait takes its length, and RunFor delivers the timers' ticks and the keys
// given with KeyUpAt as the desktop would, without really waiting.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "slideshow/lumen_s.h"
#include "slideshow/show_host.h"
#include "slideshow/timer_schedule.h"

namespace lumen::slideshow {

class VirtualScreen : public ShowHost {
 public:
  using Nanoseconds = TimerSchedule::Nanoseconds;
  static constexpr Nanoseconds kRefresh = 16'666'667;  // one frame of a 60 Hz display
  static constexpr int kClose = -1;                     // KeyUpAt's code for a close request

  // key: the colour key, when the window has one.
  using PresentCallback =
      std::function<void(const platform::gdi::Surface& image, std::optional<platform::gdi::COLORREF> key)>;

  // maximized: the window keeps the screen's size (its size changes are refused).
  // scale: device pixels per desktop pixel, as on a HiDPI screen; screen is in device pixels.
  // refresh: how long a present takes (a video's frame, for one made of the show).
  VirtualScreen(PixelSize screen, bool maximized, double scale = 1.0, Nanoseconds refresh = kRefresh)
      : screen_(screen), maximized_(maximized), scale_(scale), refresh_(refresh), client_(screen) {}

  // The show whose Form_Resize a size change calls (at once, nested, as on Windows).
  void Attach(Lumen_S* show) { show_ = show; }
  // Form_Load, then the window is shown: its first Form_Resize.
  void Open();
  void OnPresent(PresentCallback callback) { onPresent_ = std::move(callback); }

  // A key released (or, with kClose, a close request) at a moment of the virtual clock.
  void KeyUpAt(Nanoseconds at, int keyCode) { input_.push_back({at, keyCode}); }
  // Runs the show's message loop for that long: keys first, then at most one pending tick
  // at a time, each as soon as the thread is free.
  void RunFor(Nanoseconds duration);
  Nanoseconds Now() const { return now_; }

  PixelSize Screen() override { return screen_; }
  double Scale() override { return scale_; }
  PixelSize ClientSize() override { return client_; }
  bool SetWindowSize(int width, int height) override;
  void SetColorKey(platform::gdi::COLORREF key) override { key_ = key; }
  void Present(const platform::gdi::Surface& image) override;
  void SetTimerEnabled(ShowTimer timer, bool enabled) override { timers_.SetEnabled(timer, enabled, now_); }
  bool TimerEnabled(ShowTimer timer) override { return timers_.Enabled(timer); }
  bool Sleep(int milliseconds) override;
  void CloseWindow() override { closed_ = true; }

  std::optional<platform::gdi::COLORREF> ColorKey() const { return key_; }
  bool Closed() const { return closed_; }
  const std::vector<int>& Sleeps() const { return sleeps_; }
  // How many ticks of the timer (1, 2 or 3) RunFor has delivered.
  int Ticks(ShowTimer timer) const { return ticks_[static_cast<size_t>(timer)]; }

 private:
  struct KeyUp {
    Nanoseconds at;
    int code;
  };
  void Deliver(const KeyUp& key);

  PixelSize screen_;
  bool maximized_;
  double scale_;
  Nanoseconds refresh_;
  PixelSize client_;
  Lumen_S* show_ = nullptr;
  std::optional<platform::gdi::COLORREF> key_;
  TimerSchedule timers_;
  std::deque<KeyUp> input_;  // in the order given, which must be the order of time
  Nanoseconds now_ = 0;
  std::vector<int> sleeps_;
  bool closed_ = false;
  int ticks_[4] = {};
  PresentCallback onPresent_;
};

}  // namespace lumen::slideshow
