// The show window's three timers as Windows keeps them: each falls due on a fixed grid of
// its period from when it was enabled, and a timer that fell due (once or many times)
// while the thread was busy is pending once; its tick is delivered when the thread is free
// again. The hosts drive it with their clock (the desktop's, or the virtual screen's).
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace lumen::slideshow {

// The show window's timers, numbered as their handlers are (Timer1_Timer and so on).
enum class ShowTimer { Mp3Poll = 1, CdPoll = 2, AutoTurn = 3 };

class TimerSchedule {
 public:
  using Nanoseconds = int64_t;

  // Periods of Timer1 (the MP3 poll), Timer2 (the CD poll) and Timer3 (the automatic turn).
  TimerSchedule();

  // Enabling an enabled timer changes nothing; disabling drops a pending tick.
  void SetEnabled(ShowTimer timer, bool enabled, Nanoseconds now);
  bool Enabled(ShowTimer timer) const { return timers_.at(static_cast<size_t>(timer)).enabled; }

  // Marks every timer whose due time has come by `now` as pending and moves its due time
  // to the first point of its grid after `now`.
  void Advance(Nanoseconds now);
  // The pending timer to tick next (lowest number first), taken off the pending list.
  std::optional<ShowTimer> TakePending();
  bool HasPending() const;
  // When the earliest enabled timer falls due; none when no timer is enabled.
  std::optional<Nanoseconds> NextDue() const;

 private:
  struct Timer {
    Nanoseconds period = 0;
    Nanoseconds due = 0;
    bool enabled = false;
    bool pending = false;
  };
  std::array<Timer, 4> timers_;  // 1..3 used
};

}  // namespace lumen::slideshow
