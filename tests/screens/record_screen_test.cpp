#include <gtest/gtest.h>

#include <string>

#include "platform/clock.h"
#include "screens/screen_probe.h"
#include "screens/screens.h"
#include "support/test_support.h"
#include "textscreen/textscreen.h"

namespace {

constexpr std::int64_t Now = 1'700'000'000;

class RecordScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    InitGlobals(g, &clock);
    g.startTime = Now;
  }
  // Columns 0..79 of a row; the record screen's texts start at x 1.
  std::string Line(int y) const { return DrawnLine(g, dc, y, 1, 80); }

  VirtualClock clock{TimeStamp{Now, 0}};
  GameGlobals g;
  RecordingDC dc;
};

TEST_F(RecordScreen, WithoutRecordsEveryValueIsBlankOrZero) {
  DrawRecordScreen(g, dc);
  EXPECT_EQ(Line(1).substr(0, 39), "Past Practice Time      0hour 0min 0sec");
  EXPECT_EQ(Line(16).substr(0, 39), "Current Elapsed Time    0hour 0min 0sec");
  EXPECT_EQ(DrawnLine(g, dc, 1, 43 * CellWidth, 31), "Press ESC Key to Return to Menu");

  for (int y : {64, 144, 176, 256, 288, 368}) {
    const std::string line = Line(y);
    EXPECT_EQ(line.substr(34, 5), "     ") << y;
    EXPECT_EQ(line.substr(44, 8), "        ") << y;
    EXPECT_EQ(line.substr(54, 19), "    0hour 0min 0sec") << y;
  }
  EXPECT_EQ(Line(64).substr(0, 8), "Home Row");
  EXPECT_EQ(Line(368).substr(0, 7), "All Row");
  EXPECT_EQ(Line(160).substr(0, 8), "Standard");
  EXPECT_EQ(dc.textColour, ColorBlack);
}

TEST_F(RecordScreen, ValuesLandInTheirColumns) {
  CourseRecord& c = g.CourseRecordTable[1][2];  // Standard, Home+Upper Row
  c.bestTime = 83.0;
  std::snprintf(c.bestDate, sizeof c.bestDate, "24/05/17");
  c.practiceSeconds = 3725;
  DrawRecordScreen(g, dc);

  const std::string line = Line(208);
  EXPECT_EQ(line.substr(0, 14), "Home+Upper Row");
  EXPECT_EQ(line.substr(34, 5), "   83");
  EXPECT_EQ(line.substr(44, 8), "24/05/17");
  EXPECT_EQ(line.substr(54, 19), "    1hour 2min 5sec");
  // The neighbours are untouched.
  EXPECT_EQ(Line(192).substr(34, 5), "     ");
}

TEST_F(RecordScreen, ElapsedTimeIsTakenAtEachDrawing) {
  g.pastPracticeSeconds = 3725;
  clock.Advance(3725 * 1000);
  DrawRecordScreen(g, dc);
  EXPECT_EQ(g.endTime, Now + 3725);
  EXPECT_EQ(Line(1).substr(0, 39), "Past Practice Time      1hour 2min 5sec");
  EXPECT_EQ(Line(16).substr(0, 39), "Current Elapsed Time    1hour 2min 5sec");

  clock.Advance(60 * 1000);
  dc.Clear();
  DrawRecordScreen(g, dc);
  EXPECT_EQ(Line(16).substr(0, 39), "Current Elapsed Time    1hour 3min 5sec");
}

TEST_F(RecordScreen, RowsWithoutBestTimesOrDatesDrawBlanks) {
  const TextItem rows[] = {{.y = 64, .x = 1, .text = "Home Row"}, {}};
  const double best[] = {120.0};
  const std::int32_t seconds[] = {59};
  DrawRecordRows(g, dc, rows, nullptr, nullptr, seconds);
  EXPECT_EQ(Line(64).substr(34, 5), "     ");
  EXPECT_EQ(Line(64).substr(44, 8), "        ");
  EXPECT_EQ(Line(64).substr(54, 19), "    0hour 0min59sec");

  dc.Clear();
  DrawRecordRows(g, dc, rows, best, nullptr, seconds);
  EXPECT_EQ(Line(64).substr(34, 5), "  120");
}

TEST_F(RecordScreen, HugeValuesStayWithinTheirLine) {
  g.CourseRecordTable[0][0].bestTime = 1e300;
  g.CourseRecordTable[0][0].practiceSeconds = INT32_MAX;
  g.pastPracticeSeconds = INT32_MAX;
  g.startTime = -Now;  // a damaged start time
  DrawRecordScreen(g, dc);
  EXPECT_EQ(Line(64).substr(54, 4), "5965");  // 596523 hours
}

TEST_F(RecordScreen, JapaneseTextsWhenEnglishIsNotSelected) {
  g.LanguageFlag = 0;
  g.CourseRecordTable[0][0].practiceSeconds = 3725;
  DrawRecordScreen(g, dc);
  const std::string all = dc.AllText();
  EXPECT_NE(all.find(Sjis("前回までの練習時間　    0時間 0分 0秒")), std::string::npos);
  EXPECT_NE(all.find(Sjis("ESCキーを押すとメニューに戻ります")), std::string::npos);
  EXPECT_NE(all.find(Sjis("    1時間 2分 5秒")), std::string::npos);
}

}  // namespace
