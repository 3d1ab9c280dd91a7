#include <sys/stat.h>

#include <gtest/gtest.h>

#include "records/records_test_util.h"
#include "support/test_support.h"

namespace {

class LogTest : public ::testing::Test {
 protected:
  void SetUp() override { InitGlobals(g, &clock); }
  ScratchDir dir;
  VirtualClock clock{TimeStamp{March1st2008, 0}};
  GameGlobals g;
};

TEST_F(LogTest, PracticeLogLineInBothLanguages) {
  ASSERT_NE(AppendPracticeLog(g, "03/01/08", "12:34:56", 3725), 0);
  g.LanguageFlag = 0;
  ASSERT_NE(AppendPracticeLog(g, "03/01/08", "12:34:56", 3725), 0);
  std::vector<std::string> lines = SplitLines(dir.ReadFile(PracticeLogName));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "08/03/01 12:34:56 Practice Time  1hour 2min 5sec");
  EXPECT_EQ(lines[1], "08/03/01 12:34:56 " + Sjis("練習時間  1時間 2分 5秒"));
}

TEST_F(LogTest, PracticeLogWidensForLongRunsAndAppends) {
  dir.WriteFile(PracticeLogName, "earlier line\n");
  ASSERT_NE(AppendPracticeLog(g, "12/31/99", "23:59:59", 1000 * 3600 + 61), 0);
  EXPECT_EQ(dir.ReadFile(PracticeLogName),
            "earlier line\n99/12/31 23:59:59 Practice Time1000hour 1min 1sec\n");
}

TEST_F(LogTest, SpeedLogLineInBothLanguages) {
  ASSERT_NE(AppendSpeedLog(g, "Beginner's", "Home Row", "03/01/08", "12:34:56", 42.0, 312), 0);
  ASSERT_NE(AppendSpeedLog(g, "Expert", "Home+Upper Row", "03/01/08", "12:34:56", 7.0, 3725), 0);
  g.LanguageFlag = 0;
  ASSERT_NE(AppendSpeedLog(g, "Beginner's", "Home Row", "03/01/08", "12:34:56", 42.0, 312), 0);
  std::vector<std::string> lines = SplitLines(dir.ReadFile(SpeedLogName));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0],
            "08/03/01 12:34:56 Beginner's Home Row         42sec total    0hour 5min12sec");
  EXPECT_EQ(lines[0].size(), 76u);
  EXPECT_EQ(lines[1],
            "08/03/01 12:34:56 Expert     Home+Upper Row    7sec total    1hour 2min 5sec");
  EXPECT_EQ(lines[2], "08/03/01 12:34:56 Beginner's Home Row                   42" + Sjis("秒") +
                          " " + Sjis("累積    0時間 5分12秒"));
}

TEST_F(LogTest, UnwritableLogsReportFailure) {
  ASSERT_EQ(mkdir(PracticeLogName, 0755), 0);
  ASSERT_EQ(mkdir(SpeedLogName, 0755), 0);
  EXPECT_EQ(AppendPracticeLog(g, "03/01/08", "12:34:56", 1), 0);
  EXPECT_EQ(AppendSpeedLog(g, "Expert", "All Row", "03/01/08", "12:34:56", 1.0, 1), 0);
}

TEST_F(LogTest, FullDiskShowsAtClose) {
  // The line fits the stdio buffer, so only the flush at close can fail.
  ASSERT_EQ(symlink("/dev/full", PracticeLogName), 0);
  ASSERT_EQ(symlink("/dev/full", SpeedLogName), 0);
  EXPECT_EQ(AppendPracticeLog(g, "03/01/08", "12:34:56", 1), 0);
  EXPECT_EQ(AppendSpeedLog(g, "Expert", "All Row", "03/01/08", "12:34:56", 1.0, 1), 0);
}

}  // namespace
