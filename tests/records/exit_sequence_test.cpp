#include <sys/stat.h>

#include <gtest/gtest.h>

#include "records/records_test_util.h"
#include "support/test_support.h"

namespace {

const std::string OldRecords = [] {
  std::vector<std::string> lines = {"Total_Practice_Time    1hour 2mi 5se"};
  for (const char* level : {"Beginner's", "Standard", "Expert"}) {
    lines.push_back(level);
    for (int row = 0; row < 6; ++row) {
      lines.push_back("Home_Row" + std::string(26, ' ') + "     42 08/03/01     0hour 5mi12se");
    }
  }
  return JoinLines(lines);
}();

TEST(ExitSequence, ReportsEachCombinationOfFailedFiles) {
  const char* expected[8] = {"",
                             "wenlotka.rec ",
                             "wenlotka.log ",
                             "wenlotka.rec wenlotka.log ",
                             "wenlotka.spd ",
                             "wenlotka.rec wenlotka.spd ",
                             "wenlotka.log wenlotka.spd ",
                             "wenlotka.rec wenlotka.log wenlotka.spd "};
  for (int failing = 0; failing < 8; ++failing) {
    SCOPED_TRACE(failing);
    ScratchDir dir;
    VirtualClock clock{TimeStamp{March1st2008, 0}};
    GameGlobals g;
    InitGlobals(g, &clock);
    dir.WriteFile(RecordFileName, OldRecords);
    StartUpRecords(g);
    if (failing & 1) mkdir((std::string(RecordFileName) + ".tmp").c_str(), 0755);
    if (failing & 2) mkdir(PracticeLogName, 0755);
    if (failing & 4) mkdir(SpeedLogName, 0755);
    g.speedLogSaved = AppendSpeedLog(g, "Expert", "All Row", "03/01/08", "12:34:56", 9.0, 9);
    clock.Advance(10 * 1000);
    FakeView view;
    RunExitSequence(g, view);

    EXPECT_EQ(g.endTime, March1st2008 + 10);
    EXPECT_EQ(g.recordFileSaved, (failing & 1) ? 0 : 1);
    EXPECT_EQ(g.practiceLogSaved, (failing & 2) ? 0 : 1);
    std::string records = dir.ReadFile(RecordFileName);
    if (failing & 1) {
      EXPECT_EQ(records, OldRecords);
    } else {
      EXPECT_EQ(SplitLines(records)[0], "Total_Practice_Time    1hour 2mi15se");
    }
    if (!(failing & 2)) EXPECT_EQ(SplitLines(dir.ReadFile(PracticeLogName)).size(), 1u);
    if (failing == 0) {
      EXPECT_TRUE(view.reports.empty());
      continue;
    }
    ASSERT_EQ(view.reports.size(), 1u);
    EXPECT_EQ(view.reports[0].caption, "Practice Record write error");
    EXPECT_EQ(
        view.reports[0].lines,
        (std::vector<std::string>{"Practice Recod File", expected[failing], "Could not be saved"}));
  }
}

TEST(ExitSequence, JapaneseCaption) {
  ScratchDir dir;
  VirtualClock clock{TimeStamp{March1st2008, 0}};
  GameGlobals g;
  InitGlobals(g, &clock);
  StartUpRecords(g);
  g.LanguageFlag = 0;
  g.speedLogSaved = 0;
  FakeView view;
  RunExitSequence(g, view);
  ASSERT_EQ(view.reports.size(), 1u);
  EXPECT_EQ(view.reports[0].caption, Sjis("成績ファイル書き込みエラー"));
  EXPECT_EQ(view.reports[0].lines[1], "wenlotka.spd ");
}

TEST(ExitSequence, RecordLeftOnTheResultScreenReachesTheFile) {
  ScratchDir dir;
  VirtualClock clock{TimeStamp{March1st2008, 0}};
  GameGlobals g;
  InitGlobals(g, &clock);
  StartUpRecords(g);
  g.PlayState = PlayOver;
  g.currentCourse = &g.CourseRecordTable[1][2];
  g.recordState = 1;
  g.pendingBestTime = 37.0;
  std::snprintf(g.runEndDate, sizeof g.runEndDate, "03/01/08");
  FakeView view;
  RunExitSequence(g, view);
  EXPECT_TRUE(view.reports.empty());
  std::string line = SplitLines(dir.ReadFile(RecordFileName))[11];
  EXPECT_EQ(line.substr(0, 51), "Home+Upper_Row" + std::string(20, ' ') + "     37 08/03/01 ");
}

TEST(ExitSequence, DoesNothingBeforeTheRecordsWereLoaded) {
  ScratchDir dir;
  VirtualClock clock{TimeStamp{March1st2008, 0}};
  GameGlobals g;
  InitGlobals(g, &clock);
  dir.WriteFile(RecordFileName, OldRecords);
  g.speedLogSaved = 0;
  FakeView view;
  RunExitSequence(g, view);
  EXPECT_EQ(dir.ReadFile(RecordFileName), OldRecords);
  EXPECT_FALSE(dir.Exists(PracticeLogName));
  EXPECT_TRUE(view.reports.empty());
  EXPECT_EQ(g.endTime, 0);
}

}  // namespace
