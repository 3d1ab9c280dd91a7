#include <gtest/gtest.h>

#include "records/records_test_util.h"
#include "support/test_support.h"

namespace {

TEST(KeyPositionTable, FindsRowAndColumnOfEveryKeyOnTheBoard) {
  VirtualClock clock{TimeStamp{March1st2008, 0}};
  GameGlobals g;
  InitGlobals(g, &clock);
  BuildKeyPositionTable(g);
  auto at = [&](int code) {
    return std::pair(g.KeyPositionTable[code].row, g.KeyPositionTable[code].column);
  };
  EXPECT_EQ(at('Q'), std::pair(2, 1));
  EXPECT_EQ(at('A'), std::pair(3, 1));
  EXPECT_EQ(at('M'), std::pair(4, 7));
  EXPECT_EQ(at('1'), std::pair(1, 1));
  EXPECT_EQ(at('0'), std::pair(1, 10));
  EXPECT_EQ(at('P'), std::pair(2, 10));
  EXPECT_EQ(at(';'), std::pair(0, 0));
  EXPECT_EQ(at('a'), std::pair(0, 0));
  for (int kana = 0xB1; kana <= 0xDD; ++kana) EXPECT_EQ(at(kana), std::pair(0, 0));
  for (int c = 'A'; c <= 'Z'; ++c) EXPECT_NE(at(c).first, 0) << static_cast<char>(c);
}

TEST(StartUpRecords, SeedsAndDiscardsByTheLowBitsOfTheStartTime) {
  ScratchDir dir;
  struct Case {
    std::int64_t time;
    int draws;
  };
  for (Case c : {Case{0x12340000, 10}, Case{0x123400FF, 265}, Case{0x12347F05, 15}}) {
    VirtualClock clock{TimeStamp{c.time, 500}};
    GameGlobals g;
    InitGlobals(g, &clock);
    StartUpRecords(g);
    EXPECT_EQ(g.startTime, c.time);
    RandomGenerator expected;
    SeedRandom(expected, static_cast<unsigned>(c.time & 0x7FFF));
    for (int i = 0; i < c.draws; ++i) NextRandom(expected);
    EXPECT_EQ(g.random.state, expected.state) << c.draws;
    NextRandom(expected);
    EXPECT_NE(g.random.state, expected.state) << c.draws;
  }
}

TEST(StartUpRecords, StampsTheStartAndMarksTheRecordsLoaded) {
  ScratchDir dir;
  VirtualClock clock{TimeStamp{March1st2008, 0}};
  GameGlobals g;
  InitGlobals(g, &clock);
  EXPECT_EQ(g.recordsStarted, 0);
  StartUpRecords(g);
  char date[9], time[9];
  FormatDate(clock, date);
  FormatTimeOfDay(clock, time);
  EXPECT_STREQ(g.startDate, date);
  EXPECT_STREQ(g.startClock, time);
  EXPECT_EQ(g.recordsStarted, 1);
  EXPECT_EQ(g.KeyPositionTable['Q'].row, 2);
  EXPECT_FALSE(dir.Exists(RecordFileName));  // a missing file is not created at start
}

}  // namespace
