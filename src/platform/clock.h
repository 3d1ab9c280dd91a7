// Time as the game sees it: calendar seconds with milliseconds, and the date
// and time-of-day texts in local time.
//
// Callers: the records (start and end of a program run), the practice run
// (run stamps, record date), the record screen (elapsed time). The app owns
// the clock: a SystemClock in a window, a VirtualClock headless.
#pragma once

#include <cstdint>

#include "platform/types.h"

class Clock {
 public:
  virtual ~Clock() = default;
  virtual TimeStamp Now() const = 0;
};

class SystemClock final : public Clock {
 public:
  TimeStamp Now() const override;
};

// Moves only when told to, so a headless script gives the same result every time.
class VirtualClock final : public Clock {
 public:
  explicit VirtualClock(TimeStamp start) : now_(start) {}
  TimeStamp Now() const override { return now_; }
  void Advance(std::int64_t ms);

 private:
  TimeStamp now_;
};

// Calendar seconds, as time() gives them.
std::int64_t CalendarSeconds(const Clock& clock);
// "MM/DD/YY" and "HH:MM:SS" of the clock's current time in local time; each
// writes 8 characters and a terminating zero.
void FormatDate(const Clock& clock, char out[9]);
void FormatTimeOfDay(const Clock& clock, char out[9]);
// Milliseconds from a to b (negative when b is earlier).
std::int64_t MillisBetween(TimeStamp a, TimeStamp b);
