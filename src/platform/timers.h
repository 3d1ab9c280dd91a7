// Window timers: ids with periods, firing in time order.
//
// Callers: the app's view (SetTimer/KillTimer from the game, ticks to the
// game) for both the real window and headless runs.
#pragma once

#include <cstdint>
#include <map>
#include <optional>

class TimerSet {
 public:
  struct Timer {
    int periodMs = 0;
    std::int64_t dueMs = 0;  // on the owner's millisecond time line
  };

  // Starts `id`; a running id restarts its period from `nowMs`.
  void Set(int id, int periodMs, std::int64_t nowMs);
  void Kill(int id);
  bool IsRunning(int id) const { return timers_.count(id) != 0; }

  // The id that is due first at or before `nowMs` (ties: lower id), nullopt if
  // none. Its next due time moves on by one period.
  std::optional<int> PopDue(std::int64_t nowMs);
  // The earliest due time, nullopt when no timer runs.
  std::optional<std::int64_t> NextDue() const;

  const std::map<int, Timer>& All() const { return timers_; }

 private:
  std::map<int, Timer> timers_;
};
