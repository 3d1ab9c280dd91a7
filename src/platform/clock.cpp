#include "platform/clock.h"

#include <ctime>

namespace {

// Local time of the clock's current second; the zone follows TZ.
std::tm LocalTimeOf(const Clock& clock) {
  std::time_t seconds = static_cast<std::time_t>(clock.Now().seconds);
  std::tm local{};
  if (!localtime_r(&seconds, &local)) local = std::tm{};
  return local;
}

void FormatTwoDigits(char* out, int value) {
  value = ((value % 100) + 100) % 100;
  out[0] = static_cast<char>('0' + value / 10);
  out[1] = static_cast<char>('0' + value % 10);
}

void FormatTriple(char out[9], int a, int b, int c, char separator) {
  FormatTwoDigits(out, a);
  out[2] = separator;
  FormatTwoDigits(out + 3, b);
  out[5] = separator;
  FormatTwoDigits(out + 6, c);
  out[8] = 0;
}

}  // namespace

TimeStamp SystemClock::Now() const {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return {static_cast<std::int64_t>(now.tv_sec), static_cast<int>(now.tv_nsec / 1000000)};
}

std::int64_t SystemClock::SteadyMs() const {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

TimeStamp VirtualClock::Now() const {
  return {now_.seconds + calendarStep_, now_.millis};
}

void VirtualClock::Advance(std::int64_t ms) {
  std::int64_t total = now_.seconds * 1000 + now_.millis + ms;
  std::int64_t seconds = total / 1000;
  std::int64_t millis = total % 1000;
  if (millis < 0) {
    millis += 1000;
    seconds -= 1;
  }
  now_.seconds = seconds;
  now_.millis = static_cast<int>(millis);
}

std::int64_t CalendarSeconds(const Clock& clock) {
  return clock.Now().seconds;
}

void FormatDate(const Clock& clock, char out[9]) {
  std::tm local = LocalTimeOf(clock);
  FormatTriple(out, local.tm_mon + 1, local.tm_mday, local.tm_year % 100, '/');
}

void FormatTimeOfDay(const Clock& clock, char out[9]) {
  std::tm local = LocalTimeOf(clock);
  FormatTriple(out, local.tm_hour, local.tm_min, local.tm_sec, ':');
}

TimeStamp SteadyStamp(const Clock& clock) {
  const std::int64_t ms = clock.SteadyMs();
  return {ms / 1000, static_cast<int>(ms % 1000)};
}

std::int64_t MillisBetween(TimeStamp a, TimeStamp b) {
  return (b.seconds - a.seconds) * 1000 + (b.millis - a.millis);
}
