// Time as the game sees it: calendar seconds with milliseconds for dates, the
// date and time-of-day texts in local time, and a steady count of
// milliseconds for every span (a run, the practice time, the time the game
// has been running, the timers). The calendar clock can be stepped by the
// user or by time synchronisation; spans measured on it would then be
// negative or hours long and end up in the records, so spans never are.
//
// Callers: the records (dates, the program's running time), the practice run
// (run stamps, record date), the record screen (elapsed time), the timers.
// The app owns the clock: a SystemClock in a window, a VirtualClock headless.
#pragma once

#include <cstdint>

#include "platform/types.h"

class Clock {
 public:
  virtual ~Clock() = default;
  virtual TimeStamp Now() const = 0;
  // Milliseconds from an arbitrary origin that only ever move forward with
  // real time.
  virtual std::int64_t SteadyMs() const = 0;
};

class SystemClock final : public Clock {
 public:
  TimeStamp Now() const override;
  std::int64_t SteadyMs() const override;
};

// Moves only when told to, so a headless script gives the same result every
// time. Its steady count is its calendar time in milliseconds until the
// calendar is stepped.
class VirtualClock final : public Clock {
 public:
  explicit VirtualClock(TimeStamp start) : now_(start) {}
  TimeStamp Now() const override;
  std::int64_t SteadyMs() const override { return now_.seconds * 1000 + now_.millis; }
  void Advance(std::int64_t ms);
  // Sets the calendar `seconds` forward (or back, when negative), as the
  // user or time synchronisation sets a system clock; spans do not move.
  void StepCalendar(std::int64_t seconds) { calendarStep_ += seconds; }

 private:
  TimeStamp now_;
  std::int64_t calendarStep_ = 0;
};

// Calendar seconds, as time() gives them.
std::int64_t CalendarSeconds(const Clock& clock);
// "MM/DD/YY" and "HH:MM:SS" of the clock's current time in local time; each
// writes 8 characters and a terminating zero.
void FormatDate(const Clock& clock, char out[9]);
void FormatTimeOfDay(const Clock& clock, char out[9]);
// The steady count as a stamp of whole seconds and milliseconds, for the
// spans of a run.
TimeStamp SteadyStamp(const Clock& clock);
// Milliseconds from a to b (negative when b is earlier).
std::int64_t MillisBetween(TimeStamp a, TimeStamp b);
