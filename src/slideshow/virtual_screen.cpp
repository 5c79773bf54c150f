#include "slideshow/virtual_screen.h"

#include <algorithm>

namespace lumen::slideshow {

void VirtualScreen::Open() {
  show_->Form_Load();
  show_->Form_Resize();
}

bool VirtualScreen::SetWindowSize(int width, int height) {
  if (maximized_) return false;
  PixelSize wanted{width, height};
  if (wanted == client_) return true;
  client_ = wanted;
  // A size change raises a resize at once, even before the window is shown.
  if (show_ != nullptr) show_->Form_Resize();
  return true;
}

void VirtualScreen::Present(const platform::gdi::Surface& image) {
  now_ += refresh_;
  if (onPresent_) onPresent_(image, key_);
}

bool VirtualScreen::Sleep(int milliseconds) {
  sleeps_.push_back(milliseconds);
  const Nanoseconds end = now_ + Nanoseconds{std::max(milliseconds, 0)} * 1'000'000;
  // Esc or a close released before the wait ends cuts it short; other keys stay queued.
  auto stop = std::find_if(input_.begin(), input_.end(), [&](const KeyUp& k) {
    return k.at <= end && (k.code == kKeyEscape || k.code == kClose);
  });
  if (stop == input_.end()) {
    now_ = end;
    return false;
  }
  now_ = std::max(now_, stop->at);
  input_.erase(input_.begin(), std::next(stop));  // keys before the Esc die with the show
  return true;
}

void VirtualScreen::Deliver(const KeyUp& key) {
  if (key.code == kClose) {
    show_->Form_QueryUnload();
  } else {
    show_->Form_KeyUp(key.code, 0);
  }
}

void VirtualScreen::RunFor(Nanoseconds duration) {
  const Nanoseconds end = now_ + duration;
  // What falls due by the end is delivered; a handler may run past it.
  while (!closed_ && now_ <= end) {
    if (!input_.empty() && input_.front().at <= now_) {
      KeyUp key = input_.front();
      input_.pop_front();
      Deliver(key);
      continue;
    }
    timers_.Advance(now_);
    if (auto timer = timers_.TakePending()) {
      ++ticks_[static_cast<size_t>(*timer)];
      if (*timer == ShowTimer::Mp3Poll) show_->Timer1_Timer();
      if (*timer == ShowTimer::CdPoll) show_->Timer2_Timer();
      if (*timer == ShowTimer::AutoTurn) show_->Timer3_Timer();
      continue;
    }
    std::optional<Nanoseconds> next = timers_.NextDue();
    if (!input_.empty() && (!next || input_.front().at < *next)) next = input_.front().at;
    if (!next || *next > end) {
      now_ = std::max(now_, end);
      break;
    }
    now_ = std::max(now_, *next);
  }
}

}  // namespace lumen::slideshow
