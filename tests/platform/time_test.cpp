// Timers, the random generator, the clock texts and CP932 conversion.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <set>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/cp932.h"
#include "platform/random.h"
#include "platform/timers.h"

namespace {

TEST(Timers, FireInTimeOrderRestartStopAndNeverSpin) {
  TimerSet timers;
  timers.Set(70, 300, 0);
  timers.Set(1, 1000, 0);
  timers.Set(5, 300, 0);
  EXPECT_EQ(timers.NextDue(), 300);
  EXPECT_EQ(timers.PopDue(299), std::nullopt);
  std::vector<int> fired;
  while (auto id = timers.PopDue(1000)) fired.push_back(*id);
  EXPECT_EQ(fired, (std::vector<int>{5, 70, 5, 70, 5, 70, 1})) << "ties go to the lower id";

  timers.Kill(5);
  timers.Kill(70);
  timers.Kill(42);            // an unknown id is harmless
  timers.Set(1, 1000, 1700);  // a running id restarts its period
  EXPECT_EQ(timers.PopDue(2699), std::nullopt);
  EXPECT_EQ(timers.PopDue(2700), 1);
  timers.Kill(1);
  EXPECT_EQ(timers.NextDue(), std::nullopt);

  timers.Set(3, 0, 100);
  int zeroPeriodFired = 0;
  while (timers.PopDue(200) && zeroPeriodFired < 1000) ++zeroPeriodFired;
  EXPECT_LE(zeroPeriodFired, 20) << "a zero period must not fire forever";
}

TEST(Random, StartsWithTheClassicSeedOneSequenceAndASeedRepeatsInRange) {
  RandomGenerator a, b;
  for (int classic : {41, 18467, 6334}) EXPECT_EQ(NextRandom(a), classic);
  SeedRandom(a, 12345);
  SeedRandom(b, 12345);
  std::set<int> seen;
  for (int i = 0; i < 100000; ++i) {
    int v = NextRandom(a);
    ASSERT_EQ(v, NextRandom(b));
    ASSERT_TRUE(v >= 0 && v <= RandomMax) << v;
    seen.insert(v);
  }
  EXPECT_GT(seen.size(), 30000u);
}

TEST(Clock, LocalDateAndTimeOfDayAndMillisecondsCarriedBothWays) {
  const struct {
    const char* tz;
    TimeStamp at;
    const char* dateAndTime;
  } cases[] = {{"UTC", {1704067199, 999}, "12/31/23 23:59:59"},
               {"UTC", {1704067200, 0}, "01/01/24 00:00:00"},
               {"JST-9", {1704067199, 0}, "01/01/24 08:59:59"}};
  const char* savedTz = std::getenv("TZ");
  const std::string saved = savedTz ? savedTz : "";
  for (const auto& c : cases) {
    setenv("TZ", c.tz, 1);
    tzset();
    char date[9], time[9];
    FormatDate(VirtualClock(c.at), date);
    FormatTimeOfDay(VirtualClock(c.at), time);
    EXPECT_EQ(std::string(date) + " " + time, c.dateAndTime) << c.tz;
  }
  savedTz ? setenv("TZ", saved.c_str(), 1) : unsetenv("TZ");
  tzset();

  VirtualClock clock({100, 900});
  clock.Advance(250);
  EXPECT_EQ(CalendarSeconds(clock), 101);
  EXPECT_EQ(clock.Now().millis, 150);
  clock.Advance(-300);
  EXPECT_EQ(clock.Now().seconds, 100);
  EXPECT_EQ(clock.Now().millis, 850);
  EXPECT_EQ(MillisBetween({100, 850}, {102, 100}), 1250);
  EXPECT_EQ(MillisBetween({102, 100}, {100, 850}), -1250);

  TimeStamp system = SystemClock().Now();
  EXPECT_LE(std::llabs(system.seconds - static_cast<long long>(std::time(nullptr))), 1);
  EXPECT_TRUE(system.millis >= 0 && system.millis <= 999) << system.millis;
}

TEST(Cp932, TheCharactersThatMatterConvertBothWays) {
  // Backslash stays 0x5C; full-width letters, digits, kana and backslash are
  // two bytes, half-width kana one; what CP932 lacks is dropped.
  const std::pair<const char*, const char*> toCp932[] = {
      {"\\", "\\"},  {"Ａ０", "\x82\x60\x82\x4F"}, {"あア", "\x82\xA0\x83\x41"},
      {"ｱ", "\xB1"}, {"＼", "\x81\x5F"},           {"a😀b", "ab"}};
  for (const auto& [utf8, cp932] : toCp932) EXPECT_EQ(Utf8ToCp932(utf8), cp932) << utf8;
  EXPECT_EQ(Cp932ToUtf8("\x82\xA0\\\xB1"), "あ\\ｱ");
  EXPECT_EQ(Cp932ToUtf8("a\x82"), "a\xEF\xBF\xBD");
  EXPECT_EQ(Cp932ToUnicode("\x82\x60\x62"), U"Ａb");
  EXPECT_FALSE(Cp932ToUnicode("\x82").has_value());
}

}  // namespace
