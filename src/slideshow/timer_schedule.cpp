#include "slideshow/timer_schedule.h"

namespace lumen::slideshow {

namespace {
constexpr TimerSchedule::Nanoseconds kMillisecond = 1'000'000;
}

TimerSchedule::TimerSchedule() {
  timers_[1].period = 1000 * kMillisecond;
  timers_[2].period = 200 * kMillisecond;
  timers_[3].period = 1000 * kMillisecond;
}

void TimerSchedule::SetEnabled(int timer, bool enabled, Nanoseconds now) {
  Timer& t = timers_.at(static_cast<size_t>(timer));
  if (enabled && !t.enabled) t.due = now + t.period;
  if (!enabled) t.pending = false;
  t.enabled = enabled;
}

void TimerSchedule::Advance(Nanoseconds now) {
  for (Timer& t : timers_) {
    if (!t.enabled || t.period <= 0 || t.due > now) continue;
    t.pending = true;
    t.due += ((now - t.due) / t.period + 1) * t.period;
  }
}

std::optional<int> TimerSchedule::TakePending() {
  for (size_t i = 1; i < timers_.size(); ++i) {
    if (timers_[i].enabled && timers_[i].pending) {
      timers_[i].pending = false;
      return static_cast<int>(i);
    }
  }
  return std::nullopt;
}

bool TimerSchedule::HasPending() const {
  for (const Timer& t : timers_) {
    if (t.enabled && t.pending) return true;
  }
  return false;
}

std::optional<TimerSchedule::Nanoseconds> TimerSchedule::NextDue() const {
  std::optional<Nanoseconds> next;
  for (const Timer& t : timers_) {
    if (t.enabled && t.period > 0 && (!next || t.due < *next)) next = t.due;
  }
  return next;
}

}  // namespace lumen::slideshow
