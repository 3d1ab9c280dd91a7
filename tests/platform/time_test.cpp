// Timers, the random generator, the clock texts and CP932 conversion.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <set>
#include <string>

#include "platform/clock.h"
#include "platform/cp932.h"
#include "platform/random.h"
#include "platform/timers.h"

namespace {

TEST(Timers, FireInTimeOrderWithTiesToTheLowerId) {
  TimerSet timers;
  timers.Set(70, 300, 0);
  timers.Set(1, 1000, 0);
  timers.Set(5, 300, 0);
  EXPECT_EQ(timers.NextDue(), 300);
  EXPECT_EQ(timers.PopDue(299), std::nullopt);
  EXPECT_EQ(timers.PopDue(300), 5);
  EXPECT_EQ(timers.PopDue(300), 70);
  EXPECT_EQ(timers.PopDue(300), std::nullopt);
  EXPECT_EQ(timers.NextDue(), 600) << "each moved on by its period";
  EXPECT_EQ(timers.PopDue(1000), 5);
  EXPECT_EQ(timers.PopDue(1000), 70);
  EXPECT_EQ(timers.PopDue(1000), 5);
  EXPECT_EQ(timers.PopDue(1000), 70);
  EXPECT_EQ(timers.PopDue(1000), 1);
}

TEST(Timers, SettingARunningIdRestartsItsPeriodAndKillStopsIt) {
  TimerSet timers;
  timers.Set(1, 1000, 0);
  timers.Set(1, 1000, 700);
  EXPECT_EQ(timers.PopDue(1000), std::nullopt);
  EXPECT_EQ(timers.PopDue(1700), 1);
  timers.Kill(1);
  EXPECT_FALSE(timers.IsRunning(1));
  EXPECT_EQ(timers.NextDue(), std::nullopt);
  EXPECT_EQ(timers.PopDue(1'000'000), std::nullopt);
  timers.Kill(42);  // killing an unknown id is harmless
}

TEST(Timers, AZeroPeriodCannotFireForever) {
  TimerSet timers;
  timers.Set(3, 0, 100);
  int fired = 0;
  while (timers.PopDue(200) && fired < 1000) ++fired;
  EXPECT_LE(fired, 20);
}

TEST(Random, StaysInRangeAndRepeatsForASeed) {
  RandomGenerator a, b;
  SeedRandom(a, 12345);
  SeedRandom(b, 12345);
  std::set<int> seen;
  for (int i = 0; i < 100000; ++i) {
    int v = NextRandom(a);
    ASSERT_EQ(v, NextRandom(b));
    ASSERT_GE(v, 0);
    ASSERT_LE(v, RandomMax);
    seen.insert(v);
  }
  EXPECT_GT(seen.size(), 30000u);
  EXPECT_TRUE(seen.count(0) || seen.count(RandomMax) || seen.size() > 32000);
}

TEST(Random, SeedOneGivesTheClassicSequence) {
  RandomGenerator rng;
  SeedRandom(rng, 1);
  EXPECT_EQ(NextRandom(rng), 41);
  EXPECT_EQ(NextRandom(rng), 18467);
  EXPECT_EQ(NextRandom(rng), 6334);
}

class ClockTexts : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tz = std::getenv("TZ");
    saved_ = tz ? tz : "";
    hadTz_ = tz != nullptr;
    setenv("TZ", "UTC", 1);
    tzset();
  }
  void TearDown() override {
    if (hadTz_) {
      setenv("TZ", saved_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  std::string saved_;
  bool hadTz_ = false;
};

TEST_F(ClockTexts, DateAndTimeOfDayAtAFixedClock) {
  VirtualClock clock({1704067199, 999});  // 2023-12-31 23:59:59.999 UTC
  char date[9], time[9];
  FormatDate(clock, date);
  FormatTimeOfDay(clock, time);
  EXPECT_STREQ(date, "12/31/23");
  EXPECT_STREQ(time, "23:59:59");
  clock.Advance(1);
  FormatDate(clock, date);
  FormatTimeOfDay(clock, time);
  EXPECT_STREQ(date, "01/01/24");
  EXPECT_STREQ(time, "00:00:00");
  EXPECT_EQ(CalendarSeconds(clock), 1704067200);
}

TEST_F(ClockTexts, LocalTimeFollowsTheZone) {
  setenv("TZ", "JST-9", 1);
  tzset();
  VirtualClock clock({1704067199, 0});
  char date[9], time[9];
  FormatDate(clock, date);
  FormatTimeOfDay(clock, time);
  EXPECT_STREQ(date, "01/01/24");
  EXPECT_STREQ(time, "08:59:59");
}

TEST(Clock, VirtualClockCarriesMillisecondsBothWays) {
  VirtualClock clock({100, 900});
  clock.Advance(250);
  EXPECT_EQ(clock.Now().seconds, 101);
  EXPECT_EQ(clock.Now().millis, 150);
  clock.Advance(-300);
  EXPECT_EQ(clock.Now().seconds, 100);
  EXPECT_EQ(clock.Now().millis, 850);
  EXPECT_EQ(MillisBetween({100, 850}, {102, 100}), 1250);
  EXPECT_EQ(MillisBetween({102, 100}, {100, 850}), -1250);
}

TEST(Clock, SystemClockIsNowWithMilliseconds) {
  SystemClock clock;
  TimeStamp now = clock.Now();
  EXPECT_LE(std::llabs(now.seconds - static_cast<long long>(std::time(nullptr))), 1);
  EXPECT_GE(now.millis, 0);
  EXPECT_LE(now.millis, 999);
}

TEST(Cp932, TheCharactersThatMatterConvertBothWays) {
  EXPECT_EQ(Utf8ToCp932("\\"), "\\") << "backslash stays 0x5C";
  EXPECT_EQ(Utf8ToCp932("Ａ０"), "\x82\x60\x82\x4F");
  EXPECT_EQ(Utf8ToCp932("あア"), "\x82\xA0\x83\x41");
  EXPECT_EQ(Utf8ToCp932("ｱ"), "\xB1") << "half-width kana is one byte";
  EXPECT_EQ(Utf8ToCp932("＼"), "\x81\x5F");
  EXPECT_EQ(Utf8ToCp932("a😀b"), "ab") << "characters outside CP932 are dropped";
  EXPECT_EQ(Cp932ToUtf8("\x82\xA0\\\xB1"), "あ\\ｱ");
  EXPECT_EQ(Cp932ToUtf8("a\x82"), "a\xEF\xBF\xBD");
  auto decoded = Cp932ToUnicode(
      "\x82\x60"
      "b");
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(*decoded, U"Ａb");
  EXPECT_FALSE(Cp932ToUnicode("\x82").has_value());
}

}  // namespace
