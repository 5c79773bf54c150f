// A screen without a display: the show runs on it exactly as on the desktop, and every
// frame it presents goes to a callback (the frames subcommand writes them as PNG files;
// the tests look at them). Waits return at once.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "slideshow/lumen_s.h"
#include "slideshow/show_host.h"

namespace lumen::slideshow {

class VirtualScreen : public ShowHost {
 public:
  // key: the colour key, when the window has one.
  using PresentCallback =
      std::function<void(const platform::gdi::Surface& image, std::optional<platform::gdi::COLORREF> key)>;

  // maximized: the window keeps the screen's size (its size changes are refused).
  VirtualScreen(PixelSize screen, bool maximized) : screen_(screen), maximized_(maximized), client_(screen) {}

  // The show whose Form_Resize a size change calls (at once, nested, as on Windows).
  void Attach(Lumen_S* show) { show_ = show; }
  // Form_Load, then the window is shown: its first Form_Resize.
  void Open();
  void OnPresent(PresentCallback callback) { onPresent_ = std::move(callback); }

  PixelSize Screen() override { return screen_; }
  PixelSize ClientSize() override { return client_; }
  bool SetWindowSize(int width, int height) override;
  void SetColorKey(platform::gdi::COLORREF key) override { key_ = key; }
  void Present(const platform::gdi::Surface& image) override;
  void SetTimerEnabled(int timer, bool enabled) override { timers_.at(timer) = enabled; }
  bool TimerEnabled(int timer) override { return timers_.at(timer); }
  void Sleep(int milliseconds) override { sleeps_.push_back(milliseconds); }
  void CloseWindow() override { closed_ = true; }

  std::optional<platform::gdi::COLORREF> ColorKey() const { return key_; }
  bool Closed() const { return closed_; }
  const std::vector<int>& Sleeps() const { return sleeps_; }
  int Presents() const { return presents_; }

 private:
  PixelSize screen_;
  bool maximized_;
  PixelSize client_;
  Lumen_S* show_ = nullptr;
  std::optional<platform::gdi::COLORREF> key_;
  std::vector<bool> timers_ = std::vector<bool>(4, false);
  std::vector<int> sleeps_;
  bool closed_ = false;
  int presents_ = 0;
  PresentCallback onPresent_;
};

}  // namespace lumen::slideshow
