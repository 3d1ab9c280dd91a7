#include "platform/timers.h"

namespace {

// A window timer never fires faster than this; a period of 0 would otherwise
// be due again at once and starve everything else.
constexpr int MinimumPeriodMs = 10;

}  // namespace

void TimerSet::Set(int id, int periodMs, std::int64_t nowMs) {
  if (periodMs < MinimumPeriodMs) periodMs = MinimumPeriodMs;
  timers_[id] = {periodMs, nowMs + periodMs};
}

void TimerSet::Kill(int id) {
  timers_.erase(id);
}

std::optional<int> TimerSet::PopDue(std::int64_t nowMs) {
  auto earliest = timers_.end();
  for (auto it = timers_.begin(); it != timers_.end(); ++it) {
    // Strictly earlier only: the map runs in id order, so ties keep the lower id.
    if (earliest == timers_.end() || it->second.dueMs < earliest->second.dueMs) earliest = it;
  }
  if (earliest == timers_.end() || earliest->second.dueMs > nowMs) return std::nullopt;
  earliest->second.dueMs += earliest->second.periodMs;
  return earliest->first;
}

std::optional<std::int64_t> TimerSet::NextDue() const {
  std::optional<std::int64_t> next;
  for (const auto& [id, timer] : timers_) {
    if (!next || timer.dueMs < *next) next = timer.dueMs;
  }
  return next;
}
