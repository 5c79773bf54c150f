#include "slideshow/timer_schedule.h"

namespace lumen::slideshow {

namespace {
constexpr TimerSchedule::Nanoseconds kMillisecond = 1'000'000;
}

TimerSchedule::TimerSchedule() {
  timers_[static_cast<size_t>(ShowTimer::Mp3Poll)].period = 1000 * kMillisecond;
  timers_[static_cast<size_t>(ShowTimer::CdPoll)].period = 200 * kMillisecond;
  timers_[static_cast<size_t>(ShowTimer::AutoTurn)].period = 1000 * kMillisecond;
}

void TimerSchedule::SetEnabled(ShowTimer timer, bool enabled, Nanoseconds now) {
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

std::optional<ShowTimer> TimerSchedule::TakePending() {
  for (size_t i = 1; i < timers_.size(); ++i) {
    if (timers_[i].enabled && timers_[i].pending) {
      timers_[i].pending = false;
      return static_cast<ShowTimer>(i);
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
